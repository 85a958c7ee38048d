#pragma once
#include <cstdint>

#include "hid/FeatureDevice.h"

namespace qzr {

// The pedals' device as the pedal connection holds it, read afresh at every step of a
// command or transfer, so a step never works on a device that was dropped meanwhile.
struct TConnectionState {
    IFeatureDevice* device = nullptr;   // none while the pedals are not found
    int32_t featureReportLength = 0;    // FeatureReportByteLength of the pedals' capabilities
};

} // namespace qzr
