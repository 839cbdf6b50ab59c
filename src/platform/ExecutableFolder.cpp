// SPDX-License-Identifier: MIT
#include "platform/ExecutableFolder.h"

#include <filesystem>
#include <system_error>

namespace qif2ldx::platform {

std::string ExecutableFolder::Folder() const
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return exe.parent_path().string();
}

} // namespace qif2ldx::platform
