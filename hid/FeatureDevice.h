#pragma once
#include <cstdint>

namespace qzr {

// What the command channel needs of a HID device: one feature report in, one out.
// Byte 0 of the buffer is the report id; `length` counts it.
class IFeatureDevice {
public:
    virtual ~IFeatureDevice() = default;
    virtual bool GetFeatureReport(uint8_t* buffer, int32_t length) = 0;
    virtual bool SetFeatureReport(const uint8_t* buffer, int32_t length) = 0;
};

} // namespace qzr
