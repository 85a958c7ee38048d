// QZR Rudder Control Panel on virtual pedals: every window can be seen and used without the
// hardware. The pedals reboot after every write and come back, as the real ones do.
#include "hid/sim/SimulatedPlatform.h"
#include "ui/Startup.h"

int main(int argc, char** argv) {
    return qzr::RunProgram(argc, argv, [](qzr::IEventPoster& poster) {
        auto platform = std::make_unique<qzr::sim::TSimulatedPlatform>(poster);
        platform->PlugKeyboard();
        platform->PlugPedals();
        return platform;
    });
}
