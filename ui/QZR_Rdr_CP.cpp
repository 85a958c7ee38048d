// QZR Rudder Control Panel: the pedals on the machine's hidraw devices.
#include "cli/StandardOptions.h"
#include "hid/linux/HidrawPlatform.h"
#include "ui/Startup.h"

namespace {

const qzr::cli::TProgramInfo Info{
    "qzr-rudder-panel",
    "usage: qzr-rudder-panel [--help | --version] [Qt options]\n"
    "Configures the QZR USB rudder pedals (16c0:0612): reads the controller's settings,\n"
    "shows them, writes changes back, and starts calibration, reboot and factory reset.\n"
    "Needs a display (X11 or Wayland). When the pedals are not found, run qzr-hidinfo.\n"};

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = qzr::cli::AnswerStandardOptions(argc, argv, Info))
        return *status;
    return qzr::RunProgram(argc, argv, [](qzr::IEventPoster&) {
        return std::make_unique<qzr::THidrawPlatform>();
    });
}
