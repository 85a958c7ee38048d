// Renders the windows on virtual pedals into PNG files: the main window connected with its live
// axes, the axis dialog with its live bar for the left toe brake and for the rudder, the
// usage-page pick dialog, and the main window with its hint in the situations where the pedals
// cannot be used. Also prints how long the
// start-up took to the first painted main window and the resident memory after it.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "hid/sim/SimulatedPlatform.h"
#include "hid/sim/Situations.h"
#include "ui/AppFont.h"
#include "ui/AxisConf.h"
#include "ui/QZR_RDR_Main.h"
#include "ui/QtServices.h"
#include "ui/Startup.h"
#include "ui/controls/DBPickEdit.h"

namespace {

using namespace qzr;

bool Save(QWidget& window, const QDir& dir, const char* name) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

// Runs `work` on the next modal window that is not `outer`, once it is on screen.
void WhenModalOpens(QWidget* outer, std::function<void(QWidget&)> work) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, outer, work = std::move(work)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == outer || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        QApplication::processEvents();
        work(*modal);
    });
    timer->start(20);
}

// Notes the time of the first paint of a widget.
struct TFirstPaint : QObject {
    QElapsedTimer& clock;
    qint64 ms = -1;
    explicit TFirstPaint(QElapsedTimer& c) : clock(c) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && ms < 0) ms = clock.elapsed();
        return false;
    }
};

double ResidentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

void WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The main window in each situation in which the pedals cannot be used (or are not followed),
// with the hint under the status: hint-SITUATION.png.
bool SaveSituations(const QDir& dir) {
    bool ok = true;
    for (const char* situation : {"no-access", "no-hidraw", "no-pedals", "monitor-down"}) {
        TQtEventPoster poster;
        sim::TSimulatedPlatform platform(poster);
        sim::StageSituation(platform, situation);
        auto window = CreateProgramWindows(platform);
        window->Connection().UdevRuleInstalled = [] { return false; };
        window->show();
        WaitUntil([&] { return !window->lbStatus->text().isEmpty(); }, 3000);
        WaitUntil([] { return false; }, 100);
        const std::string name = std::string("hint-") + situation + ".png";
        ok = Save(*window, dir, name.c_str()) && ok;
    }
    return ok;
}

// QZR_SCREENSHOT_PALETTE=dark starts the windows as under a dark desktop theme;
// QZR_SCREENSHOT_FONT=fallback as on a desktop without Tahoma.
void ImitateDesktopSettings(QApplication& application) {
    if (qEnvironmentVariable("QZR_SCREENSHOT_PALETTE") == QLatin1String("dark")) {
        QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x35, 0x35, 0x35));
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                         QPalette::HighlightedText})
            dark.setColor(role, Qt::white);
        dark.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
        dark.setColor(QPalette::AlternateBase, QColor(0x2C, 0x2C, 0x2C));
        dark.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
        application.setPalette(dark);
    }
    if (qEnvironmentVariable("QZR_SCREENSHOT_FONT") == QLatin1String("fallback")) ForceFallbackUiFont(true);
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ImitateDesktopSettings(application);
    PrepareApplication(application);
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) return 1;

    TQtEventPoster poster;
    sim::TSimulatedPlatform platform(poster);
    std::shared_ptr<sim::TEmulatedPedals> pedals = platform.PlugPedals();
    auto mainWindow = CreateProgramWindows(platform);
    TFirstPaint firstPaint(clock);
    mainWindow->installEventFilter(&firstPaint);
    mainWindow->show();
    WaitUntil([&] { return mainWindow->lbStatus->text() == QString::fromUtf8("Подключены"); }, 3000);
    WaitUntil([&] { return firstPaint.ms >= 0; }, 3000);
    std::printf("start-up: main window first painted after %lld ms; resident memory %.1f MB\n",
                static_cast<long long>(firstPaint.ms), ResidentMegabytes());
    // The rudder a little to the right, the left brake pressed a third of the way.
    pedals->SetAxes(2600, 340, 0);
    WaitUntil([] { return false; }, 100);

    bool ok = Save(*mainWindow, dir, "main-window.png");
    TfmAxisConf& axisConf = *mainWindow->fmAxisConf;
    WhenModalOpens(mainWindow.get(), [&](QWidget& dialog) {
        ok = Save(dialog, dir, "axis-dialog.png") && ok;
        WhenModalOpens(&dialog, [&](QWidget& pick) {
            ok = Save(pick, dir, "pick-dialog.png") && ok;
            static_cast<QDialog&>(pick).reject();
        });
        axisConf.cdNStructConfUsage_HIDUsage->RunPick();
        static_cast<QDialog&>(dialog).reject();
    });
    axisConf.ShowForAxis(1);
    WhenModalOpens(mainWindow.get(), [&](QWidget& dialog) {
        ok = Save(dialog, dir, "axis-dialog-rudder.png") && ok;
        static_cast<QDialog&>(dialog).reject();
    });
    axisConf.ShowForAxis(0);
    ok = SaveSituations(dir) && ok;
    return ok ? 0 : 1;
}
