// SPDX-License-Identifier: MIT
// Appends N transaction elements with seven children each, addressed by index exactly as the
// statement builder addresses them, and reports the time per element.
#include "support/FixedProgramFolder.h"
#include "support/MessageRecorder.h"
#include "xml/CDoXML.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace qif2ldx;

void AppendTransactions(benchmark::State& state)
{
    const auto count = static_cast<std::int32_t>(state.range(0));
    const std::string list = "/OFX/BANKMSGSRSV1/STMTTRNRS/STMTRS/BANKTRANLIST";
    for (auto _ : state) {
        test::MessageRecorder messages;
        test::FixedProgramFolder folder("/tmp");
        xml::CDoXML doc(messages, folder);
        doc.Initialize(xml::pavHighest);
        if (!doc.OpenFromString("<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST><DTSTART/>"
                                "<DTEND/></BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>",
                                false)) {
            state.SkipWithError("skeleton did not load");
            return;
        }
        for (std::int32_t n = 0; n < count; ++n) {
            const std::string index = std::to_string(n);
            const std::string path = list + "/STMTTRN[" + index + "]";
            benchmark::DoNotOptimize(
                doc.InsertNode(list, "STMTTRN", std::nullopt, "", std::nullopt, xml::norChild));
            for (const char* name : {"TRNTYPE", "DTPOSTED", "TRNAMT", "FITID", "CHECKNUM"}) {
                benchmark::DoNotOptimize(
                    doc.InsertNode(path, name, index, "", std::nullopt, xml::norChild));
            }
            benchmark::DoNotOptimize(doc.InsertNode(path, "NAME", std::string("CORNER GROCER"), "",
                                                    std::nullopt, xml::norChild));
            benchmark::DoNotOptimize(
                doc.InsertNode(path, "MEMO", std::nullopt, "", std::nullopt, xml::norChild));
            benchmark::DoNotOptimize(doc.WriteNode(path + "/MEMO", "weekly shop"));
        }
    }
    // Seconds per element, shown with an SI prefix ("3.9u" is 3.9 microseconds).
    state.counters["per_element"] = benchmark::Counter(
        static_cast<double>(count),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(AppendTransactions)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
