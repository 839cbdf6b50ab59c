// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>

namespace qif2ldx::platform {

// From now on SIGINT, SIGTERM and SIGHUP no longer end the process: each stores its number in
// the flag returned, which long work polls so that it can stop cleanly and leave no unfinished
// file behind. SIGXFSZ is ignored, so that a write past a file-size limit fails and is reported
// instead of ending the process. Call once, early.
[[nodiscard]] const std::atomic<int>& CatchInterrupts();

} // namespace qif2ldx::platform
