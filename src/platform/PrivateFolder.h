// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Reason.h"

#include <optional>
#include <string>

namespace qif2ldx::platform {

// A folder of the program's own in the temporary folder ($TMPDIR, else /tmp), made with a name
// nobody can foresee and open to the user alone (0700), so that no other user can read what is
// built in it, nor block it with a file or a link of the same name. Removed, with whatever it
// holds, when the object goes.
class PrivateFolder
{
public:
    // What Make made: the folder, or why there is none.
    struct Made;

    [[nodiscard]] static Made Make();

    PrivateFolder(PrivateFolder&& other) noexcept : sPath_(std::move(other.sPath_))
    {
        other.sPath_.clear();
    }
    PrivateFolder& operator=(PrivateFolder&&) = delete;
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    ~PrivateFolder();

    // The folder's path, without a "/" at its end.
    [[nodiscard]] const std::string& Path() const { return sPath_; }

private:
    explicit PrivateFolder(std::string sPath) : sPath_(std::move(sPath)) {}

    std::string sPath_;
};

struct PrivateFolder::Made
{
    std::optional<PrivateFolder> folder;
    Reason reason{}; // when there is no folder
};

} // namespace qif2ldx::platform
