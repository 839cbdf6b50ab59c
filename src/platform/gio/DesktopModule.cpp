// SPDX-License-Identifier: MIT
// The desktop's services through GIO, as a module that the program loads only when it hands a
// statement off (see platform/DesktopServices.h). The caller owns what the factories make.
#include "platform/gio/GioFileAssociation.h"
#include "platform/gio/SpawnProcessStarter.h"

#include <new>

extern "C" __attribute__((visibility("default"))) qif2ldx::platform::IFileAssociation*
qif2ldx_new_file_association(const char* sMimeType)
{
    try {
        return new qif2ldx::platform::GioFileAssociation(sMimeType);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

extern "C" __attribute__((visibility("default"))) qif2ldx::platform::IProcessStarter*
qif2ldx_new_process_starter()
{
    try {
        return new qif2ldx::platform::SpawnProcessStarter();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
