// Telling why a device is not usable from a listing of interfaces and what opening gave.
#include <gtest/gtest.h>

#include <cerrno>

#include "hid/HidDiagnosis.h"

namespace qzr {
namespace {

constexpr uint16_t Vendor = 0x16C0;
constexpr uint16_t Product = 0x0612;

THidNodeOutcome Node(const char* path, bool idsKnown, uint16_t vendor, uint16_t product, int error) {
    return {THidInterface{"key", path, idsKnown, vendor, product}, error};
}

TEST(HidDiagnosisTest, FindingForEachListing) {
    struct Case {
        const char* name;
        THidListing listing;
        TDeviceDiagnosis expected;
    };
    const THidNodeOutcome keyboard = Node("/dev/hidraw0", true, 0x046D, 0xC31C, 0);
    const Case cases[] = {
        {"not listed", {false, {}}, {TDeviceFinding::Unlisted, 0, ""}},
        {"no interface", {true, {}}, {TDeviceFinding::NoInterface, 0, ""}},
        {"others only", {true, {keyboard}}, {TDeviceFinding::Absent, 0, ""}},
        {"ids unknown and refused", {true, {Node("/dev/hidraw1", false, 0, 0, EACCES)}},
         {TDeviceFinding::Absent, 0, ""}},
        {"same vendor, other product", {true, {Node("/dev/hidraw1", true, Vendor, 0x0613, EACCES)}},
         {TDeviceFinding::Absent, 0, ""}},
        {"usable", {true, {keyboard, Node("/dev/hidraw1", true, Vendor, Product, 0)}},
         {TDeviceFinding::Usable, 0, "/dev/hidraw1"}},
        {"denied", {true, {keyboard, Node("/dev/hidraw1", true, Vendor, Product, EACCES)}},
         {TDeviceFinding::Unopenable, EACCES, "/dev/hidraw1"}},
        {"first refusal kept", {true, {Node("/dev/hidraw1", true, Vendor, Product, EBUSY),
                                       Node("/dev/hidraw2", true, Vendor, Product, EACCES)}},
         {TDeviceFinding::Unopenable, EBUSY, "/dev/hidraw1"}},
        {"a usable set wins", {true, {Node("/dev/hidraw1", true, Vendor, Product, EACCES),
                                      Node("/dev/hidraw2", true, Vendor, Product, 0)}},
         {TDeviceFinding::Usable, 0, "/dev/hidraw2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TDeviceDiagnosis diagnosis = DiagnoseDevice(c.listing, Vendor, Product);
        EXPECT_EQ(diagnosis.finding, c.expected.finding);
        EXPECT_EQ(diagnosis.error, c.expected.error);
        EXPECT_EQ(diagnosis.node, c.expected.node);
    }
}

} // namespace
} // namespace qzr
