#pragma once
// Adapters that let the toolkit-free core use Qt's event loop.
#include <QObject>
#include <QSocketNotifier>
#include <memory>

#include "hid/EventPoster.h"
#include "hid/HidPlatform.h"
#include "link/UserServices.h"

namespace qzr {

// Posts work as queued calls and single-shot timers of the application's event loop.
class TQtEventPoster : public IEventPoster {
public:
    void Post(std::function<void()> work) override;
    void PostDelayed(uint32_t milliseconds, std::function<void()> work) override;
};

// Waits for the next event (or the timeout) inside the event dispatcher, then processes all
// pending events, so a wait keeps the windows alive without spinning a core.
class TQtMessagePump : public IMessagePump {
public:
    void WaitAndProcess(uint32_t maxWaitMs) override;
};

// The wait cursor over every window of the application, stacked for nested waits.
class TQtBusyCursor : public IBusyIndicator {
public:
    void BeginBusy() override;
    void EndBusy() override;
};

// Watches the platform's notification descriptor, so device-node changes reach the event
// loop without polling.
class TQtNotificationWatcher : public QObject {
public:
    explicit TQtNotificationWatcher(IHidPlatform& platform, QObject* parent = nullptr);

private:
    IHidPlatform& platform_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace qzr
