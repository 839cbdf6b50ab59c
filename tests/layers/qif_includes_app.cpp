// SPDX-License-Identifier: MIT
// Must not compile: qif sees only what it links.
#include "app/MainModule.h"
