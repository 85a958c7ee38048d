// QZR Rudder Control Panel on virtual pedals: every window can be seen and used without the
// hardware. The pedals reboot after every write and come back, as the real ones do.
#include "cli/StandardOptions.h"
#include "hid/sim/SimulatedPlatform.h"
#include "ui/Startup.h"

namespace {

const qzr::cli::TProgramInfo Info{
    "qzr-rudder-panel-demo",
    "usage: qzr-rudder-panel-demo [--help | --version] [Qt options]\n"
    "The rudder control panel on virtual pedals, for trying every window without the\n"
    "hardware. The virtual controller reboots after each write and comes back as the real\n"
    "one does. Needs a display (X11 or Wayland).\n"};

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = qzr::cli::AnswerStandardOptions(argc, argv, Info))
        return *status;
    return qzr::RunProgram(argc, argv, [](qzr::IEventPoster& poster) {
        auto platform = std::make_unique<qzr::sim::TSimulatedPlatform>(poster);
        platform->PlugKeyboard();
        platform->PlugPedals();
        return platform;
    });
}
