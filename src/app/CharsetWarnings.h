// SPDX-License-Identifier: MIT
#pragma once

#include "qif/CharsetNotes.h"

#include <string>
#include <vector>

namespace qif2ldx::app {

// What the statement's character set could not carry as the QIF file wrote it, worded for a
// terminal without the program's prefix: the texts transliterated ("characters that
// windows-1252 lacks were transliterated in 2 texts: payee "Łódź" as "Lódz" (record on line 3),
// memo "Москва" as "Moskva" (record on line 7)") and the records holding a byte the set leaves
// undefined, written as "?" or kept. Empty when there was nothing of the kind.
[[nodiscard]] std::vector<std::string> CharsetWarnings(const qif::CharsetReport& report);

} // namespace qif2ldx::app
