// SPDX-License-Identifier: MIT
#include "platform/gio/GioFileAssociation.h"

#include <gio/gio.h>
#include <memory>

namespace qif2ldx::platform {
namespace {

struct GObjectDeleter
{
    void operator()(gpointer p) const { g_object_unref(p); }
};
struct GFreeDeleter
{
    void operator()(gpointer p) const { g_free(p); }
};

template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;
using GString = std::unique_ptr<gchar, GFreeDeleter>;

} // namespace

std::string GioFileAssociation::FindExecutable(const std::string& sFile) const
{
    if (sFile.empty()) {
        return {};
    }
    const GObjectPtr<GFile> file(g_file_new_for_path(sFile.c_str()));
    const GObjectPtr<GFileInfo> info(g_file_query_info(
        file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE "," G_FILE_ATTRIBUTE_STANDARD_TYPE,
        G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    if (!info || g_file_info_get_file_type(info.get()) != G_FILE_TYPE_REGULAR) {
        return {};
    }
    const char* type = g_file_info_get_content_type(info.get());
    if (type == nullptr) {
        return {};
    }
    const GObjectPtr<GAppInfo> app(g_app_info_get_default_for_type(type, FALSE));
    if (!app) {
        return {};
    }
    const char* executable = g_app_info_get_executable(app.get());
    if (executable == nullptr || *executable == '\0') {
        return {};
    }
    const GString path(g_find_program_in_path(executable));
    return path ? std::string(path.get()) : std::string();
}

} // namespace qif2ldx::platform
