// SPDX-License-Identifier: MIT
#include "app/cli/ProgressBar.h"

#include "app/cli/Wording.h"

#include <ostream>
#include <string>

namespace qif2ldx::app::cli {

void ProgressBar::Show(std::uint64_t done, std::uint64_t total)
{
    using namespace std::chrono;
    const auto now = steady_clock::now();
    if (!bolEnabled_ || now - start_ < milliseconds(300) || total == 0) {
        return;
    }
    constexpr int kWidth = 30;
    const auto filled = static_cast<int>(done * kWidth / total);
    objErr_ << "\r" << kProgram << ": converting [" << std::string(filled, '#')
            << std::string(kWidth - filled, ' ') << "] " << done * 100 / total << "%" << std::flush;
    drawn_ = true;
}

void ProgressBar::Clear()
{
    if (drawn_) {
        objErr_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
        drawn_ = false;
    }
}

} // namespace qif2ldx::app::cli
