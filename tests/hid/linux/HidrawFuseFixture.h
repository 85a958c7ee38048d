#pragma once
// Files that answer the hidraw ioctls as the kernel does, served by FUSE from a thread of the
// test process, each one played by an emulated HID device. A regular file on a FUSE mount is
// as close to a hidraw node as a machine without uhid gets.
#include <memory>
#include <string>
#include <vector>

#include "hid/linux/HidrawPlatform.h"

namespace qzr::sim {
class TEmulatedHid;
}

namespace qzr::test {

class THidrawFuseFixture {
public:
    // Mounts an empty directory; throws std::runtime_error with the reason when it cannot.
    THidrawFuseFixture();
    // Unmounts once the test has closed its descriptors.
    ~THidrawFuseFixture();
    THidrawFuseFixture(const THidrawFuseFixture&) = delete;
    THidrawFuseFixture& operator=(const THidrawFuseFixture&) = delete;

    // A new node played by the device (which must outlive the fixture); returns its path.
    std::string AddNode(sim::TEmulatedHid& device);
    // Ioctls the nodes have answered so far.
    int IoctlCount() const;
    // The next HIDIOCSFEATURE reaches its device and then fails with EINTR, as one cut short
    // by a signal after the transfer went out.
    void InterruptNextFeatureSet();

    struct TServer;

private:
    std::unique_ptr<TServer> server_;
};

// The Linux platform with the fixture's nodes listed in place of udev's listing.
class TFixtureListedPlatform : public THidrawPlatform {
public:
    std::vector<THidInterface> listed;
    bool listingFails = false;
    std::string notificationError;

    bool EnumerateInterfaces(std::vector<THidInterface>& interfaces) override
    {
        interfaces = listingFails ? std::vector<THidInterface>{} : listed;
        return !listingFails;
    }
    std::string NotificationError() const override { return notificationError; }
};

} // namespace qzr::test
