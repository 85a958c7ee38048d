// Decoding one NStruct report into cdsNStruct, through every change handler and classifier
// lookup the read runs.
#include <benchmark/benchmark.h>

#include "link/CommandChannel.h"
#include "records/AxisRecords.h"
#include "records/Rubr.h"
#include "tests/support/ScriptedChannel.h"

namespace {

using namespace qzr;

void BM_DecodeNStructReport(benchmark::State& state) {
    test::TScriptedChannel link;
    TRubr rubr;
    rubr.FormCreate();
    TAxisRecords axes(link.channel, &rubr);

    TReportBuffer report(17);
    const uint8_t structure[16] = {0x10, 0x02, 0x62, 0xBA, 0x2C, 0x98, 0x02, 30, 15, 20,
                                   0x34, 0x12, 0x78, 0x56, 0xBC, 0x9A};
    for (size_t i = 0; i < 16; ++i) report[i + 1] = structure[i];
    axes.cdsNStruct.AppendBlank();
    axes.Decode(0, report);
    axes.cdsNStruct.PostRecord();

    for (auto _ : state) {
        axes.cdsNStruct.StartEdit();
        axes.Decode(0, report);
        axes.cdsNStruct.PostRecord();
        benchmark::DoNotOptimize(axes.ZicCalc.AsInteger());
    }
}
BENCHMARK(BM_DecodeNStructReport);

} // namespace

BENCHMARK_MAIN();
