#pragma once
// Why a device is not usable, told from a listing of the HID interfaces and what opening each
// of them gave: no interface at all, none of the device's, or the device's refusing to open.
#include <cstdint>
#include <string>
#include <vector>

#include "hid/HidPlatform.h"

namespace qzr {

// One listed interface and what opening and identifying it gave.
struct THidNodeOutcome {
    THidInterface interface;
    int error = 0;   // 0: opened and identified; else the errno of the failure
};

struct THidListing {
    bool taken = false;   // false: the platform could not list its interfaces
    std::vector<THidNodeOutcome> nodes;
};

enum class TDeviceFinding {
    Usable,       // an interface of the device opened
    Unlisted,     // the interfaces could not be listed
    NoInterface,  // no HID interface at all
    Absent,       // HID interfaces, none of them the device's
    Unopenable,   // the device's interface cannot be opened or identified
};

struct TDeviceDiagnosis {
    TDeviceFinding finding = TDeviceFinding::Absent;
    int error = 0;          // Unopenable: the errno
    std::string node;       // Unopenable: the interface's path
};

bool IsDevice(const THidInterface& interface, uint16_t vendorID, uint16_t productID);
TDeviceDiagnosis DiagnoseDevice(const THidListing& listing, uint16_t vendorID, uint16_t productID);

} // namespace qzr
