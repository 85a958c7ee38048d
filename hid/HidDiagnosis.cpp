#include "hid/HidDiagnosis.h"

namespace qzr {

bool IsDevice(const THidInterface& interface, uint16_t vendorID, uint16_t productID) {
    return interface.idsKnown && interface.vendorID == vendorID && interface.productID == productID;
}

// An interface of the device that opened wins over one that did not: with two sets plugged
// in, the program uses the one it can.
TDeviceDiagnosis DiagnoseDevice(const THidListing& listing, uint16_t vendorID, uint16_t productID) {
    if (!listing.taken)
        return {TDeviceFinding::Unlisted, 0, {}};
    if (listing.nodes.empty())
        return {TDeviceFinding::NoInterface, 0, {}};
    const THidNodeOutcome* refused = nullptr;
    for (const THidNodeOutcome& node : listing.nodes) {
        if (!IsDevice(node.interface, vendorID, productID))
            continue;
        if (node.error == 0)
            return {TDeviceFinding::Usable, 0, node.interface.devicePath};
        if (refused == nullptr)
            refused = &node;
    }
    if (refused != nullptr)
        return {TDeviceFinding::Unopenable, refused->error, refused->interface.devicePath};
    return {TDeviceFinding::Absent, 0, {}};
}

} // namespace qzr
