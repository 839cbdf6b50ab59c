// SPDX-License-Identifier: MIT
// Both account list readers on arbitrary bytes; the chosen name comes first, up to a NUL.
#include "FuzzSupport.h"
#include "app/AccountList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qif2ldx;
    static const std::string list = fuzz::ScratchFile("olacclst.dat");
    fuzz::Reader reader(data, size);
    const std::string name = reader.String();
    fuzz::WriteFile(list, reader.Rest());
    const app::AccountNames names = app::ReadAccountNames(list);
    records::CAcctInfo account;
    static_cast<void>(app::LoadAccountInfo(list, name, account));
    if (!names.names.empty()) {
        records::CAcctInfo first;
        static_cast<void>(app::LoadAccountInfo(list, names.names.front(), first));
    }
    return 0;
}
