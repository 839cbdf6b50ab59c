// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IFileAssociation.h"
#include "platform/IProcessStarter.h"

#include <memory>
#include <string>
#include <vector>

namespace qif2ldx::platform {

// The desktop's services (which application opens a file, starting it) live in a module beside
// the executable, loaded the first time one of them is needed: a conversion that hands nothing
// off never loads GIO and the libraries under it. A module that cannot be loaded finds no
// application and starts nothing, and says why (LookUpFailure).

// The name of the module, in the program's own folder.
inline constexpr const char* kDesktopModuleName = "libqif2ldx-desktop.so";

// The application the desktop opens files of one MIME type with, as the module finds it.
class DesktopFileAssociation final : public IFileAssociation
{
public:
    DesktopFileAssociation(std::string sModulePath, std::string sMimeType);
    ~DesktopFileAssociation() override;
    DesktopFileAssociation(const DesktopFileAssociation&) = delete;
    DesktopFileAssociation& operator=(const DesktopFileAssociation&) = delete;

    [[nodiscard]] std::string FindExecutable(const std::string& sFile) const override;
    [[nodiscard]] std::string LookUpFailure() const override { return sLoadFailure_; }

private:
    std::string sModulePath_;
    std::string sMimeType_;
    mutable std::unique_ptr<IFileAssociation> objLoaded_; // made on the first question
    mutable std::string sLoadFailure_; // the loader's reason when the module could not be used
};

// Starts programs detached, through the module.
class DesktopProcessStarter final : public IProcessStarter
{
public:
    explicit DesktopProcessStarter(std::string sModulePath);
    ~DesktopProcessStarter() override;
    DesktopProcessStarter(const DesktopProcessStarter&) = delete;
    DesktopProcessStarter& operator=(const DesktopProcessStarter&) = delete;

    bool StartDetached(const std::string& sExecutable,
                       const std::vector<std::string>& arguments) override;

private:
    std::string sModulePath_;
    std::unique_ptr<IProcessStarter> objLoaded_; // made on the first start
};

} // namespace qif2ldx::platform
