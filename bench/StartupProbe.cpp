// Starts the program's windows as the program does and reports when the main window is first
// painted and the resident memory once start-up has settled (bench/FirstPaintReport.h).
// scripts/measure-startup runs it and turns that into figures.
#include <QApplication>
#include <cstring>

#include "bench/FirstPaintReport.h"
#include "hid/linux/HidrawPlatform.h"
#include "hid/sim/SimulatedPlatform.h"
#include "ui/QZR_RDR_Main.h"
#include "ui/QtServices.h"
#include "ui/Startup.h"

int main(int argc, char** argv) {
    const bool demo = argc > 1 && std::strcmp(argv[1], "--demo") == 0;
    QApplication application(argc, argv);
    qzr::PrepareApplication(application);
    qzr::TQtEventPoster poster;
    std::unique_ptr<qzr::IHidPlatform> platform;
    if (demo) {
        auto simulated = std::make_unique<qzr::sim::TSimulatedPlatform>(poster);
        simulated->PlugPedals();
        platform = std::move(simulated);
    } else {
        platform = std::make_unique<qzr::THidrawPlatform>();
    }
    auto mainWindow = qzr::CreateProgramWindows(*platform);
    qzr::bench::TFirstPaintReport report;
    mainWindow->installEventFilter(&report);
    mainWindow->show();
    return application.exec();
}
