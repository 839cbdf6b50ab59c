// SPDX-License-Identifier: MIT
// Must not compile: the history is the app's; qif never links it.
#include "history/History.h"
