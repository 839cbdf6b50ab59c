// SPDX-License-Identifier: MIT
// A whole conversion from QIF bytes, for a fixed account; bank and credit card in turn, and
// every third input with the portable profile.
#include "FuzzSupport.h"
#include "qif/CQIFFile.h"
#include "support/FixedClock.h"
#include "support/FixedProgramFolder.h"
#include "support/MessageRecorder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qif2ldx;
    static const std::string qif = fuzz::ScratchFile("in.qif");
    static const std::string ldx = fuzz::ScratchFile("out.LDX");
    fuzz::WriteFile(qif, std::string_view(reinterpret_cast<const char*>(data), size));
    test::MessageRecorder messages;
    test::FixedProgramFolder folder(fuzz::ScratchFolder());
    test::FixedClock clock({2026, 12, 7});
    const records::CAcctInfo account{
        "Fuzz", (size % 2 == 0) ? "CHECKING" : "CREDIT", "GBP", "1", "2", "3"};
    qif::CQIFFile file(messages, folder, clock);
    qif::ConversionOptions options;
    options.bolReplace = true; // each input replaces the last statement
    if (size % 3 == 0) {
        options.objProfile = &statement::kPortableProfile;
    }
    file.SetOptions(options);
    if (file.OpenFile(qif)) {
        static_cast<void>(file.ConvertQIFtoLDX(ldx, account));
    }
    return 0;
}
