// QZR Rudder Control Panel: the pedals on the machine's hidraw devices.
#include "hid/linux/HidrawPlatform.h"
#include "ui/Startup.h"

int main(int argc, char** argv) {
    return qzr::RunProgram(argc, argv, [](qzr::IEventPoster&) {
        return std::make_unique<qzr::THidrawPlatform>();
    });
}
