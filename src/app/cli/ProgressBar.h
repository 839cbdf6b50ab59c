// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>

namespace qif2ldx::app::cli {

// A bar on the terminal for runs that take longer than a moment; cleared when it goes.
class ProgressBar
{
public:
    // bolEnabled: the stream is a terminal that the bar may draw on.
    ProgressBar(std::ostream& objErr, bool bolEnabled) : objErr_(objErr), bolEnabled_(bolEnabled) {}
    ~ProgressBar() { Clear(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Draws how far the run has come, once it has taken longer than a moment.
    void Show(std::uint64_t done, std::uint64_t total);
    // Removes the bar from the terminal, if it was drawn.
    void Clear();

private:
    std::ostream& objErr_;
    bool bolEnabled_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace qif2ldx::app::cli
