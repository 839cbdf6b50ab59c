// SPDX-License-Identifier: MIT
#include "platform/PrivateFolder.h"

#include "platform/FileSystem.h"

#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace qif2ldx::platform {

PrivateFolder::Made PrivateFolder::Make()
{
    std::string sTemplate = TemporaryFolder() + "/qif2ldx.XXXXXX";
    if (::mkdtemp(sTemplate.data()) == nullptr) {
        return {std::nullopt, LastReason()};
    }
    return {PrivateFolder(std::move(sTemplate)), {}};
}

PrivateFolder::~PrivateFolder()
{
    if (sPath_.empty() || ::rmdir(sPath_.c_str()) == 0) {
        return;
    }
    // Nobody else can put anything here: what is left is the program's own.
    std::vector<std::string> names;
    if (const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(sPath_.c_str()), ::closedir);
        folder) {
        while (const dirent* entry = ::readdir(folder.get())) {
            const std::string_view sName = entry->d_name;
            if (sName != "." && sName != "..") {
                names.emplace_back(sName);
            }
        }
    }
    for (const std::string& sName : names) {
        static_cast<void>(::unlink((sPath_ + "/" + sName).c_str()));
    }
    static_cast<void>(::rmdir(sPath_.c_str()));
}

} // namespace qif2ldx::platform
