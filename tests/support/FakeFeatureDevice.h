#pragma once
// A feature-report device that records every report sent to it (cut to the length asked)
// and answers reads with a scripted structure.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "hid/FeatureDevice.h"
#include "tests/support/FakeServices.h"

namespace qzr::test {

class TRecordingDevice : public IFeatureDevice {
public:
    struct Sent {
        std::vector<uint8_t> bytes;
        uint32_t atTick;
    };
    explicit TRecordingDevice(TManualTicks* ticks = nullptr) : ticks_(ticks) {}

    std::vector<Sent> sent;
    std::vector<uint8_t> answer;   // bytes a read copies into the buffer, from byte 0
    int reads = 0;
    bool succeed = true;
    std::function<void()> onSet;   // runs as each report is sent

    bool SetFeatureReport(const uint8_t* buffer, int32_t length) override {
        if (onSet) onSet();
        sent.push_back({std::vector<uint8_t>(buffer, buffer + length), ticks_ ? ticks_->now : 0});
        return succeed;
    }
    bool GetFeatureReport(uint8_t* buffer, int32_t length) override {
        ++reads;
        const size_t n = std::min(answer.size(), size_t(length));
        if (n) std::memcpy(buffer, answer.data(), n);
        return succeed;
    }

private:
    TManualTicks* ticks_;
};

} // namespace qzr::test
