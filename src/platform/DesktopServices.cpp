// SPDX-License-Identifier: MIT
#include "platform/DesktopServices.h"

#include "platform/LibraryFile.h"

#include <dlfcn.h>
#include <new>

namespace qif2ldx::platform {
namespace {

// The loader's last error, or what stands in for it.
std::string LoaderError(const std::string& sModulePath)
{
    const char* sError = ::dlerror();
    return sError != nullptr ? std::string(sError) : sModulePath + ": the module cannot be used";
}

// What the module's factory sFactory makes from args; null when the module or the factory
// cannot be found, with the loader's reason in sFailure. The module stays loaded for the
// objects it made.
template <typename Made, typename... Args>
std::unique_ptr<Made> MakeInModule(const std::string& sModulePath, std::string& sFailure,
                                   const char* sFactory, Args... args)
{
    if (!IsWholeLibrary(sModulePath)) {
        sFailure = sModulePath + ": truncated or not a library";
        return nullptr;
    }
    void* module = ::dlopen(sModulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        sFailure = LoaderError(sModulePath);
        return nullptr;
    }
    using Factory = Made* (*)(Args...);
    auto* make = reinterpret_cast<Factory>(::dlsym(module, sFactory));
    if (make == nullptr) {
        sFailure = LoaderError(sModulePath);
        return nullptr;
    }
    std::unique_ptr<Made> made(make(args...));
    sFailure = made ? std::string() : sModulePath + ": " + sFactory + " made nothing";
    return made;
}

} // namespace

DesktopFileAssociation::DesktopFileAssociation(std::string sModulePath, std::string sMimeType)
    : sModulePath_(std::move(sModulePath)), sMimeType_(std::move(sMimeType))
{}

DesktopFileAssociation::~DesktopFileAssociation() = default;

std::string DesktopFileAssociation::FindExecutable(const std::string& sFile) const
{
    try {
        if (!objLoaded_) {
            objLoaded_ = MakeInModule<IFileAssociation>(
                sModulePath_, sLoadFailure_, "qif2ldx_new_file_association", sMimeType_.c_str());
        }
        return objLoaded_ ? objLoaded_->FindExecutable(sFile) : std::string();
    } catch (const std::bad_alloc&) {
        return {};
    }
}

DesktopProcessStarter::DesktopProcessStarter(std::string sModulePath)
    : sModulePath_(std::move(sModulePath))
{}

DesktopProcessStarter::~DesktopProcessStarter() = default;

bool DesktopProcessStarter::StartDetached(const std::string& sExecutable,
                                          const std::vector<std::string>& arguments)
{
    try {
        if (!objLoaded_) {
            std::string sFailure; // the association told it first, with the same module
            objLoaded_ = MakeInModule<IProcessStarter>(sModulePath_, sFailure,
                                                       "qif2ldx_new_process_starter");
        }
        return objLoaded_ && objLoaded_->StartDetached(sExecutable, arguments);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace qif2ldx::platform
