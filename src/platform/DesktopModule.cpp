// SPDX-License-Identifier: MIT
// The desktop services (GIO) as a module that the command line loads only when --open wants
// them, so that a plain conversion does not load GLib.
#include "platform/GioFileAssociation.h"
#include "platform/SpawnProcessStarter.h"

extern "C" __attribute__((visibility("default"))) qif2ldx::platform::IFileAssociation*
qif2ldx_file_association()
{
    static qif2ldx::platform::GioFileAssociation objAssociation;
    return &objAssociation;
}

extern "C" __attribute__((visibility("default"))) qif2ldx::platform::IProcessStarter*
qif2ldx_process_starter()
{
    static qif2ldx::platform::SpawnProcessStarter objStarter;
    return &objStarter;
}
