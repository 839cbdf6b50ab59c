// SPDX-License-Identifier: MIT
#include "platform/gio/SpawnProcessStarter.h"

#include <glib.h>

namespace qif2ldx::platform {

bool SpawnProcessStarter::StartDetached(const std::string& sExecutable,
                                        const std::vector<std::string>& arguments)
{
    std::vector<std::string> copies;
    copies.reserve(arguments.size() + 1);
    copies.push_back(sExecutable);
    copies.insert(copies.end(), arguments.begin(), arguments.end());
    std::vector<gchar*> argv;
    argv.reserve(copies.size() + 1);
    for (auto& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    GError* error = nullptr;
    const gboolean started = g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_DEFAULT, nullptr,
                                           nullptr, nullptr, &error);
    if (error != nullptr) {
        g_error_free(error);
    }
    return started != FALSE;
}

} // namespace qif2ldx::platform
