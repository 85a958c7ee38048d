// The cost of the live axes in the running program on virtual pedals: the CPU time per second
// of the user-interface thread while the pedals report 1000 times a second (the fastest
// full-speed USB rate), and its event-loop wake-ups per second with no report at all.
//
//   LiveAxesProbe [SECONDS]        (default 5 seconds per phase; QT_QPA_PLATFORM=offscreen)
//
// The reports come from a thread of their own, as from the USB host controller: each is
// written into the virtual pedals' input queue, which the program reads as it reads a hidraw
// node, so the figures cover the watching, the reading and the 60-a-second refresh.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>

#include "hid/sim/SimulatedPlatform.h"
#include "ui/LiveAxesPanel.h"
#include "ui/LiveInput.h"
#include "ui/QZR_RDR_Main.h"
#include "ui/QtServices.h"
#include "ui/Startup.h"

namespace {

using namespace qzr;

struct TThreadUsage {
    double cpuSeconds = 0;
    long voluntarySwitches = 0;

    static TThreadUsage Now() {
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
        return {seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_nvcsw};
    }
};

struct TPhase {
    double seconds = 0;
    double cpuSeconds = 0;
    long wakeUps = 0;
    long voluntarySwitches = 0;
    int refreshes = 0;
};

// Runs the event loop for `seconds` and notes what the user-interface thread spent meanwhile.
TPhase RunFor(double seconds, TLiveInput& live) {
    long wakeUps = 0;
    int refreshes = 0;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    auto awake = QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&] { ++wakeUps; });
    auto refreshed = QObject::connect(&live, &TLiveInput::refreshed, [&] { ++refreshes; });
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    const TThreadUsage before = TThreadUsage::Now();
    QElapsedTimer clock;
    clock.start();
    loop.exec();
    const TThreadUsage after = TThreadUsage::Now();
    QObject::disconnect(awake);
    QObject::disconnect(refreshed);
    return {double(clock.nsecsElapsed()) / 1e9, after.cpuSeconds - before.cpuSeconds, wakeUps,
            after.voluntarySwitches - before.voluntarySwitches, refreshes};
}

// Writes one report every millisecond, on absolute deadlines, until told to stop.
void SendReports(int fd, std::atomic<bool>& running, std::atomic<long>& sent) {
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    uint16_t step = 0;
    while (running) {
        next.tv_nsec += 1000000;
        if (next.tv_nsec >= 1000000000) {
            next.tv_nsec -= 1000000000;
            ++next.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
        ++step;
        const std::vector<uint8_t> report =
            sim::TEmulatedPedals::AxesReport(uint16_t(step % 4096), uint16_t(step % 1024), 0);
        if (::send(fd, report.data(), report.size(), MSG_DONTWAIT | MSG_NOSIGNAL) > 0) ++sent;
    }
}

void Print(const char* name, const TPhase& phase) {
    std::printf("%-30s %6.2f s  cpu %7.3f %% of one core  wake-ups %8.1f /s  voluntary switches %8.1f /s"
                "  refreshes %5.1f /s\n",
                name, phase.seconds, 100.0 * phase.cpuSeconds / phase.seconds,
                double(phase.wakeUps) / phase.seconds, double(phase.voluntarySwitches) / phase.seconds,
                double(phase.refreshes) / phase.seconds);
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: %s [SECONDS]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    PrepareApplication(application);
    TQtEventPoster poster;
    sim::TSimulatedPlatform platform(poster);
    std::shared_ptr<sim::TEmulatedPedals> pedals = platform.PlugPedals();
    auto mainWindow = CreateProgramWindows(platform);
    mainWindow->show();
    QElapsedTimer startup;
    startup.start();
    while (!mainWindow->LiveInput().IsReading() && startup.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    const int fd = platform.InputSenderFd(*pedals);
    if (fd < 0) {
        std::fprintf(stderr, "the program does not read the virtual pedals' input\n");
        return 1;
    }
    RunFor(0.5, mainWindow->LiveInput());   // settle: first paints, deferred start-up work

    const TPhase idle = RunFor(seconds, mainWindow->LiveInput());

    std::atomic<bool> running{true};
    std::atomic<long> sent{0};
    std::thread sender(SendReports, fd, std::ref(running), std::ref(sent));
    const int readsBefore = platform.InputReadCount();
    const TPhase busy = RunFor(seconds, mainWindow->LiveInput());
    const int readsAfter = platform.InputReadCount();
    // The same without the side panel's rows: what reading alone costs.
    QObject::disconnect(&mainWindow->LiveInput(), &TLiveInput::refreshed, mainWindow->pnLiveAxes, nullptr);
    const TPhase unshown = RunFor(seconds, mainWindow->LiveInput());
    running = false;
    sender.join();

    Print("no reports:", idle);
    Print("1000 reports/s:", busy);
    Print("1000 reports/s, rows hidden:", unshown);
    std::printf("reports sent %.0f /s, read calls %.0f /s, last rudder value shown %s\n",
                double(sent) / (busy.seconds + unshown.seconds), double(readsAfter - readsBefore) / busy.seconds,
                qPrintable(mainWindow->pnLiveAxes->RowValue(0)));
    std::printf("goals: under 2 %% of one core at 1000 reports/s; 0 wake-ups/s without reports\n");
    return 0;
}
