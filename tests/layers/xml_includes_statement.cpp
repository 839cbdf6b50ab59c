// SPDX-License-Identifier: MIT
// Must not compile: xml sees only what it links.
#include "statement/CLDXFile.h"
