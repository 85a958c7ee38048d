#include "ui/AfterFirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace qzr {

namespace {

class TFirstFrameWatch : public QObject {
public:
    TFirstFrameWatch(QWidget& window, std::function<void()> work)
        : QObject(&window), window_(window), work_(std::move(work)) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Paint) {
            window_.removeEventFilter(this);
            // Queued behind the paint, so the frame is on screen before the work starts.
            QTimer::singleShot(0, &window_, std::move(work_));
            deleteLater();
        }
        return false;
    }

private:
    QWidget& window_;
    std::function<void()> work_;
};

} // namespace

void RunAfterFirstFrame(QWidget& window, std::function<void()> work) {
    new TFirstFrameWatch(window, std::move(work));
}

} // namespace qzr
