#pragma once
#include <cstdint>
#include <functional>

namespace qzr {

// Puts work into the user-interface event loop, to run after the current handler returns.
// The Qt adapter posts queued calls and single-shot timers; tests keep a queue they drain.
class IEventPoster {
public:
    virtual ~IEventPoster() = default;
    virtual void Post(std::function<void()> work) = 0;
    virtual void PostDelayed(uint32_t milliseconds, std::function<void()> work) = 0;
};

} // namespace qzr
