#pragma once
#include <cstdint>

namespace qzr {

// The rudder pedals among the HID devices.
constexpr uint16_t PedalsVendorID = 0x16C0;
constexpr uint16_t PedalsProductID = 0x0612;

} // namespace qzr
