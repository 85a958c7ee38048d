// CPU time one Delay(1000) costs while the Qt event loop has nothing to do.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QCoreApplication>

#include "link/CommandChannel.h"
#include "ui/QtServices.h"

namespace {

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void BM_Delay1000IdleLoop(benchmark::State& state) {
    qzr::TSteadyTickCounter ticks;
    qzr::TQtMessagePump pump;
    double cpuMs = 0;
    for (auto _ : state) {
        const double before = ProcessCpuMs();
        qzr::Delay(1000, ticks, pump);
        cpuMs += ProcessCpuMs() - before;
    }
    const double perDelay = cpuMs / double(state.iterations());
    state.counters["cpu_ms_per_delay"] = perDelay;
    state.counters["cpu_percent_of_core"] = perDelay / 1000.0 * 100.0;
}
BENCHMARK(BM_Delay1000IdleLoop)->Iterations(5)->UseRealTime()->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
