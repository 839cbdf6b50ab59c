// SPDX-License-Identifier: MIT
// Must not compile: statement sees only what it links.
#include "app/ConversionRun.h"
