// Starts the program's windows as the program does and reports, on standard output, the wall
// clock (CLOCK_REALTIME, ns) when the main window is first painted and the resident memory
// once start-up has settled. scripts/measure-startup runs it and turns that into figures.
#include <time.h>

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "hid/linux/HidrawPlatform.h"
#include "hid/sim/SimulatedPlatform.h"
#include "ui/QZR_RDR_Main.h"
#include "ui/QtServices.h"
#include "ui/Startup.h"

namespace {

long long RealtimeNs() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

long ResidentKiB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            std::printf("first_paint_realtime_ns=%lld\n", RealtimeNs());
            // Let the first announcement and the Global read run, then look at memory.
            QTimer::singleShot(500, [] {
                std::printf("resident_kib=%ld\n", ResidentKiB());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace

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
    FirstPaint probe;
    mainWindow->installEventFilter(&probe);
    mainWindow->show();
    return application.exec();
}
