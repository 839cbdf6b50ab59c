// SPDX-License-Identifier: MIT
#pragma once

#include "app/ConversionRun.h"

#include <string>
#include <vector>

namespace qif2ldx::app::gui {

// The dialog's words for what the history holds of a file: its two questions, the box when
// nothing is new, and the lines the box after a run gives it. Files are named by their names
// alone. No Qt.

// The buttons of the repeats question (Cancel follows them); the first is the default.
inline constexpr const char* kLeaveThemOut = "Leave them out";
inline constexpr const char* kKeepThem = "Keep them";
// The button of the same-file question (Cancel follows it, and is the default).
inline constexpr const char* kConvertAgain = "Convert again";

// "May.qif was converted on 2 May 2026 to May.LDX."
[[nodiscard]] std::string SameFileQuestion(const RepeatReport& report, const std::string& sQIFPath);

// "12 of the 40 transactions in May.qif were already in April.LDX, made on 2 May 2026 from
// April.qif: 3 May CORNER CAFE -12.50, … and 7 more." with at most five of them.
[[nodiscard]] std::string RepeatQuestion(const RepeatReport& report, const std::string& sQIFPath);

// The box when nothing was new: "Nothing in May.qif is new: all of its 40 transactions were
// already in April.LDX, made on 2 May 2026 from April.qif. Nothing was written."
[[nodiscard]] std::string NothingNewMessage(const RepeatReport& report,
                                            const std::string& sQIFPath);

// The repeats left out, a line for each earlier statement they are in, with at most five of
// them named: "9 transactions left out, already in April.LDX (made on 10 December 2026 from
// April.qif): 3 May CORNER CAFE -12.50, … and 4 more." Empty when no repeat was left out
// (or a whole file converted before was).
[[nodiscard]] std::vector<std::string> LeftOutRepeatLines(const ConversionOutcome& objOutcome);

// What a saved run's box tells of the history, as sentences: what kept it from being read or
// written, the possible repeats, the same file converted for other accounts. Empty when there
// is nothing to tell.
[[nodiscard]] std::vector<std::string> HistoryLines(const ConversionOutcome& objOutcome);

} // namespace qif2ldx::app::gui
