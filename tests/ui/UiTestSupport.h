#pragma once
// The real program windows on virtual pedals, and a script that answers the modal windows
// (message boxes, pick dialogs, the axis dialog) as they open.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

#include "hid/sim/SimulatedPlatform.h"
#include "ui/AxisConf.h"
#include "ui/QZR_RDR_Main.h"
#include "ui/QtServices.h"
#include "ui/Startup.h"

namespace qzr::test {

inline QString Ru(const char* text) { return QString::fromUtf8(text); }

// Runs one step per modal window that opens, in order. A step runs from its own timer event,
// so a step that opens a further modal window (a pick from the axis dialog) is answered too.
class TModalScript {
public:
    using TStep = std::function<void(QWidget& modal)>;

    TModalScript() {
        hideWatcher_.onHide = [this](QObject* widget) {
            handled_.removeIf([widget](const QPointer<QWidget>& w) { return !w || w == widget; });
        };
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
        poll_.start();
    }

    void Then(TStep step) { steps_.push_back(std::move(step)); }
    bool Done() const { return steps_.empty() && running_ == 0; }
    QStringList seenTexts;   // texts of the message boxes answered

    // Steps for message boxes: record the text, then press a button or a key.
    static TStep Click(QMessageBox::StandardButton button, TModalScript& script) {
        return [button, &script](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            QVERIFY2(box, "expected a message box");
            script.seenTexts << box->text();
            box->button(button)->click();
        };
    }
    static TStep PressKey(Qt::Key key, TModalScript& script) {
        return [key, &script](QWidget& modal) {
            if (auto* box = qobject_cast<QMessageBox*>(&modal)) script.seenTexts << box->text();
            QTest::keyClick(modal.focusWidget() ? modal.focusWidget() : &modal, key);
        };
    }

private:
    // A dialog shown again (the same pick dialog, a second time) is a new modal window.
    struct THideWatcher : QObject {
        std::function<void(QObject*)> onHide;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Hide) onHide(watched);
            return false;
        }
    };

    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        handled_.removeIf([](const QPointer<QWidget>& w) { return !w || !w->isVisible(); });
        if (!modal || !modal->isVisible() || steps_.empty()) return;
        for (const QPointer<QWidget>& w : handled_)
            if (w == modal) return;
        handled_.append(modal);
        modal->installEventFilter(&hideWatcher_);
        TStep step = std::move(steps_.front());
        steps_.pop_front();
        ++running_;
        QPointer<QWidget> target(modal);
        QTimer::singleShot(0, [this, step = std::move(step), target] {
            if (target) step(*target);
            --running_;
        });
    }

    THideWatcher hideWatcher_;
    QTimer poll_;
    std::deque<TStep> steps_;
    QList<QPointer<QWidget>> handled_;
    int running_ = 0;
};

// The program's windows as start-up creates them, on a simulated platform.
struct TProgram {
    explicit TProgram(bool withPedals = true) : platform(poster) {
        if (withPedals) pedals = platform.PlugPedals();
    }
    // Creates the windows and lets the event loop run the first refresh and what is built
    // after the first frame (the axis dialog's rows among it).
    void Start() {
        window = CreateProgramWindows(platform);
        window->show();
        QTRY_VERIFY(!window->lbStatus->text().isEmpty());
        QTRY_VERIFY(window->fmAxisConf->wwCheckBox1);
    }
    // Start, then wait until the pedals are connected and their Global is shown.
    void StartConnected() {
        Start();
        QTRY_COMPARE(window->lbStatus->text(), Ru("Подключены"));
    }
    TfmQZR_Rdr_CP_Main& Main() { return *window; }

    TQtEventPoster poster;
    sim::TSimulatedPlatform platform;
    std::shared_ptr<sim::TEmulatedPedals> pedals;
    std::unique_ptr<TfmQZR_Rdr_CP_Main> window;
};

// One command frame: 00 A5 code argument.
inline bool IsCommand(const std::vector<uint8_t>& frame, uint8_t code, uint8_t argument) {
    return frame.size() >= 4 && frame[0] == 0 && frame[1] == 0xA5 && frame[2] == code && frame[3] == argument;
}

} // namespace qzr::test
