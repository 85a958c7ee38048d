#include "ui/QtServices.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QCursor>
#include <QGuiApplication>
#include <QTimer>

namespace qzr {

void TQtEventPoster::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

void TQtEventPoster::PostDelayed(uint32_t milliseconds, std::function<void()> work) {
    QTimer::singleShot(std::chrono::milliseconds(milliseconds), Qt::PreciseTimer,
                       QCoreApplication::instance(), std::move(work));
}

void TQtMessagePump::WaitAndProcess(uint32_t maxWaitMs) {
    if (maxWaitMs == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The timer's event ends the wait if nothing else arrives first.
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    wakeUp.start(std::chrono::milliseconds(maxWaitMs));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TQtBusyCursor::BeginBusy() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void TQtBusyCursor::EndBusy() {
    QGuiApplication::restoreOverrideCursor();
}

TQtNotificationWatcher::TQtNotificationWatcher(IHidPlatform& platform, QObject* parent)
    : QObject(parent), platform_(platform) {
    const int fd = platform_.NotificationFd();
    if (fd < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this,
                     [this] { platform_.DispatchNotifications(); });
}

} // namespace qzr
