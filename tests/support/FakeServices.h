#pragma once
// Scriptable stand-ins for the user-interface services the core reaches through interfaces:
// message boxes that record their texts, a tick counter the test moves, a message pump that
// runs scripted work, and an event poster whose queue the test drains.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "hid/EventPoster.h"
#include "link/UserServices.h"

namespace qzr::test {

class TRecordingMessages : public IUserMessages {
public:
    std::vector<std::string> shown;       // every ShowMessage text, in order
    std::vector<std::string> questions;   // every Confirm question, in order
    bool answerYes = false;
    std::function<void()> duringMessage;  // runs inside a message box (a nested loop)

    void ShowMessage(const std::string& text) override {
        shown.push_back(text);
        if (duringMessage) duringMessage();
    }
    bool Confirm(const std::string& question) override {
        questions.push_back(question);
        return answerYes;
    }
};

// A tick counter that moves only when told to.
class TManualTicks : public ITickCounter {
public:
    explicit TManualTicks(uint32_t start = 0) : now(start) {}
    uint32_t now;
    uint32_t Milliseconds() override { return now; }
};

// Each WaitAndProcess records how long it was allowed to wait, lets that time pass on the
// manual ticks (or less, when `stepMs` is set), then runs whatever work is pending.
class TScriptedPump : public IMessagePump {
public:
    explicit TScriptedPump(TManualTicks& ticks) : ticks_(ticks) {}
    std::vector<uint32_t> waits;
    uint32_t stepMs = 0;                       // 0: the whole wait passes
    std::deque<std::function<void()>> pending; // "messages" processed by the next pass
    std::function<void(uint32_t passIndex)> onPass;

    void WaitAndProcess(uint32_t maxWaitMs) override {
        waits.push_back(maxWaitMs);
        ticks_.now += (stepMs && stepMs < maxWaitMs) ? stepMs : maxWaitMs;
        if (onPass) onPass(static_cast<uint32_t>(waits.size() - 1));
        while (!pending.empty()) {
            auto work = std::move(pending.front());
            pending.pop_front();
            work();
        }
    }

private:
    TManualTicks& ticks_;
};

// Posted work waits in a queue until the test runs the loop; delayed work waits for time.
class TManualPoster : public IEventPoster {
public:
    struct Delayed { uint64_t due; std::function<void()> work; };
    uint64_t clockMs = 0;
    std::deque<std::function<void()>> queue;
    std::vector<Delayed> delayed;

    void Post(std::function<void()> work) override { queue.push_back(std::move(work)); }
    void PostDelayed(uint32_t ms, std::function<void()> work) override {
        delayed.push_back({clockMs + ms, std::move(work)});
    }
    // Runs posted work, including work posted meanwhile, until the queue is empty.
    int RunPending() {
        int ran = 0;
        while (!queue.empty()) {
            auto work = std::move(queue.front());
            queue.pop_front();
            work();
            ++ran;
        }
        return ran;
    }
    // Lets `ms` pass: due delayed work moves into the queue, which then runs.
    int Advance(uint64_t ms) {
        clockMs += ms;
        for (size_t i = 0; i < delayed.size();) {
            if (delayed[i].due <= clockMs) {
                queue.push_back(std::move(delayed[i].work));
                delayed.erase(delayed.begin() + static_cast<long>(i));
            } else {
                ++i;
            }
        }
        return RunPending();
    }
};

} // namespace qzr::test
