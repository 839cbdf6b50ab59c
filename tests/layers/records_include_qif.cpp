// SPDX-License-Identifier: MIT
// Must not compile: records see only what they link.
#include "qif/CQIFFile.h"
