// The pedal link on virtual pedals among many other HID interfaces: the cost of one device-node
// announcement (comparison, offers, refresh with the Global read), and of a plug of the pedals
// until the connection shows them.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "hid/HidControllerClass.h"
#include "hid/sim/SimulatedPlatform.h"
#include "link/CommandChannel.h"
#include "link/PedalConnection.h"
#include "records/GlobalRecord.h"
#include "records/Rubr.h"
#include "tests/support/FakeServices.h"
#include "tests/support/ScriptedChannel.h"

namespace {

using namespace qzr;

struct TPedalLink : test::TScriptedChannel {
    test::TManualPoster poster;
    sim::TSimulatedPlatform platform{poster};
    TRubr rubr;
    TGlobalRecord global{channel, &rubr};
    std::shared_ptr<sim::TEmulatedPedals> pedals = std::make_shared<sim::TEmulatedPedals>();
    std::unique_ptr<THidDeviceController> HidCtl;
    std::unique_ptr<TPedalConnection> connection;

    explicit TPedalLink(int64_t otherInterfaces) {
        rubr.FormCreate();
        for (int64_t i = 0; i < otherInterfaces; ++i) {
            if (i % 2)
                platform.PlugMouse();
            else
                platform.PlugKeyboard();
        }
    }
    void Start() {
        HidCtl = std::make_unique<THidDeviceController>(platform, poster);
        connection = std::make_unique<TPedalConnection>(*HidCtl, state, channel, global);
        poster.RunPending();
    }
    bool ShowsPedals() const {
        return connection->View().statusText == "Подключены" && global.cdsGlobal.RecordCount() == 1;
    }
};

// Once a HID interface has gone during the run, every announcement is a full comparison with
// offers and a refresh: the steady state of a long session.
void BM_AnnouncementWithPedalsAmongOthers(benchmark::State& state) {
    TPedalLink link(state.range(0));
    link.platform.Plug(link.pedals);
    auto gone = link.platform.PlugKeyboard();
    link.Start();
    link.platform.Unplug(*gone);
    link.poster.RunPending();
    for (auto _ : state) {
        link.platform.NotifyUnrelatedChange();
        link.poster.RunPending();
    }
    if (!link.ShowsPedals())
        state.SkipWithError("the pedals are not shown");
    state.counters["interfaces"] = double(link.platform.InterfaceCount());
    state.counters["globalReads"] = double(link.pedals->ReadCount());
}
BENCHMARK(BM_AnnouncementWithPedalsAmongOthers)->ArgName("others")->Arg(1)->Arg(64)->Arg(512)->Unit(benchmark::kMicrosecond);

// Timed by hand around the plug alone: each round needs a fresh controller, whose start-up
// (all other interfaces opened and identified) is not part of the figure.
void BM_PlugUntilConnected(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        auto link = std::make_unique<TPedalLink>(state.range(0));
        link->Start();

        auto start = Clock::now();
        link->platform.Plug(link->pedals);
        link->poster.RunPending();
        auto end = Clock::now();

        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (!link->ShowsPedals())
            state.SkipWithError("the pedals are not shown");
    }
}
BENCHMARK(BM_PlugUntilConnected)->ArgName("others")->Arg(1)->Arg(64)->Arg(512)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
