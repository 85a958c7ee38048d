#pragma once
#include <cstdint>
#include <string>

namespace qzr {

// Modal messages to the user. The windows show message boxes; tests record the texts.
class IUserMessages {
public:
    virtual ~IUserMessages() = default;
    // A modal message with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // A modal Yes/No question, No being the default; true only for Yes.
    virtual bool Confirm(const std::string& question) = 0;
};

// The system's millisecond tick counter; it wraps after 2^32 ms.
class ITickCounter {
public:
    virtual ~ITickCounter() = default;
    virtual uint32_t Milliseconds() = 0;
};

// The toolkit's "process pending messages": waits at most `maxWaitMs` for a message to
// arrive (0: does not wait), then processes every pending one.
class IMessagePump {
public:
    virtual ~IMessagePump() = default;
    virtual void WaitAndProcess(uint32_t maxWaitMs) = 0;
};

// Tells the user that the program is busy (the wait cursor) while a wait goes on with the
// windows still taking input. Begin and end calls nest.
class IBusyIndicator {
public:
    virtual ~IBusyIndicator() = default;
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
};

// Busy from construction to destruction, however the scope is left; no indicator, no sign.
class TBusyScope {
public:
    explicit TBusyScope(IBusyIndicator* indicator) : indicator_(indicator) {
        if (indicator_) indicator_->BeginBusy();
    }
    ~TBusyScope() {
        if (indicator_) indicator_->EndBusy();
    }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    IBusyIndicator* indicator_;
};

// Monotonic clock in milliseconds, cut to 32 bits like the system tick counter.
class TSteadyTickCounter : public ITickCounter {
public:
    uint32_t Milliseconds() override;
};

} // namespace qzr
