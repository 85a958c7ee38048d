// What the Linux per-device code does beyond the shared protocol scenarios: limits it enforces
// before any ioctl, the version of a node without a USB device, files that are not hidraw.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include <linux/hidraw.h>

#include "hid/HidReportDescriptor.h"
#include "hid/linux/HidrawDevice.h"
#include "hid/linux/HidrawPlatform.h"
#include "hid/sim/EmulatedPedals.h"
#include "tests/hid/linux/HidrawFuseFixture.h"

namespace {

using qzr::InvalidHidHandle;
using qzr::THidHandle;
using qzr::sim::TEmulatedHid;
using qzr::sim::TEmulatedPedals;

class HidrawDeviceTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_THROW(fixture_ = std::make_unique<qzr::test::THidrawFuseFixture>());
    }
    void TearDown() override
    {
        if (handle_ != InvalidHidHandle)
            platform_.Close(handle_);
    }

    THidHandle OpenNodeOf(TEmulatedHid& device)
    {
        handle_ = platform_.Open(fixture_->AddNode(device), true);
        return handle_;
    }

    // Declared before the fixture: they outlive its nodes.
    TEmulatedPedals pedals_;
    std::vector<std::unique_ptr<TEmulatedHid>> devices_;
    std::unique_ptr<qzr::test::THidrawFuseFixture> fixture_;
    qzr::THidrawPlatform platform_;
    THidHandle handle_ = InvalidHidHandle;
};

TEST_F(HidrawDeviceTest, NodeWithoutUsbDeviceHasVersionZero)
{
    const THidHandle handle = OpenNodeOf(pedals_);
    ASSERT_NE(handle, InvalidHidHandle);
    qzr::THidAttributes attributes;
    attributes.VersionNumber = 0xBEEF;
    ASSERT_TRUE(platform_.GetAttributes(handle, attributes));
    EXPECT_EQ(attributes.Size, 12u);
    EXPECT_EQ(attributes.VendorID, TEmulatedPedals::PedalsVendorID);
    EXPECT_EQ(attributes.VersionNumber, 0);
}

TEST_F(HidrawDeviceTest, FeatureLengthsOneIoctlCannotCarryAreRefusedBeforeTheCall)
{
    const THidHandle handle = OpenNodeOf(pedals_);
    ASSERT_NE(handle, InvalidHidHandle);
    std::vector<uint8_t> buffer(qzr::hidraw::MaxFeatureLength + 1, 0);
    const int ioctlsBefore = fixture_->IoctlCount();
    // A report of the id byte alone is refused by the kernel too, with a warning in its log.
    for (int32_t length : {0, 1, -1, qzr::hidraw::MaxFeatureLength + 1, INT32_MAX}) {
        SCOPED_TRACE(length);
        EXPECT_FALSE(platform_.GetFeature(handle, buffer.data(), length));
        EXPECT_FALSE(platform_.SetFeature(handle, buffer.data(), length));
    }
    EXPECT_FALSE(platform_.GetFeature(handle, nullptr, 17));
    EXPECT_FALSE(platform_.SetFeature(handle, nullptr, 17));
    EXPECT_EQ(fixture_->IoctlCount(), ioctlsBefore);

    // The longest one still goes through, whole.
    EXPECT_TRUE(platform_.GetFeature(handle, buffer.data(), qzr::hidraw::MaxFeatureLength));
    EXPECT_EQ(pedals_.Log().back().requested, qzr::hidraw::MaxFeatureLength);
}

TEST_F(HidrawDeviceTest, ReportDescriptorIsReadAsFarAsHidrawHandsItOut)
{
    struct TCase {
        const char* name;
        size_t size;
        bool readable;
        size_t bytesRead;
    } cases[] = {{"empty", 0, false, 0},
                 {"one byte", 1, true, 1},
                 {"the most one request copies", 4095, true, 4095},
                 {"largest the kernel keeps", 4096, true, 4095}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> descriptor(c.size);
        for (size_t i = 0; i < descriptor.size(); ++i)
            descriptor[i] = uint8_t(i * 31 + 1);
        devices_.push_back(std::make_unique<TEmulatedHid>(0x1234, 0x5678, 0, descriptor));
        const THidHandle handle = platform_.Open(fixture_->AddNode(*devices_.back()), true);
        ASSERT_NE(handle, InvalidHidHandle);
        std::vector<uint8_t> read;
        EXPECT_EQ(platform_.GetPreparsedData(handle, read), c.readable);
        if (c.readable) {
            descriptor.resize(c.bytesRead);
            EXPECT_EQ(read, descriptor);
        }
        platform_.Close(handle);
    }
}

// The pedals' descriptor grown to the kernel's largest size with usages before its last End
// Collection, which is the byte hidraw cannot hand out.
TEST_F(HidrawDeviceTest, LargestDescriptorStillGivesCapabilities)
{
    std::vector<uint8_t> descriptor = pedals_.ReportDescriptor();
    ASSERT_EQ(descriptor.back(), 0xC0);
    descriptor.insert(descriptor.end() - 1, HID_MAX_DESCRIPTOR_SIZE - descriptor.size(), 0x08);
    ASSERT_TRUE(qzr::ParseReportDescriptor(descriptor).ok);
    devices_.push_back(std::make_unique<TEmulatedHid>(0x16C0, 0x0612, 0, descriptor));
    const THidHandle handle = OpenNodeOf(*devices_.back());
    ASSERT_NE(handle, InvalidHidHandle);

    std::vector<uint8_t> preparsed;
    ASSERT_TRUE(platform_.GetPreparsedData(handle, preparsed));
    qzr::THidCaps caps;
    ASSERT_TRUE(platform_.GetCaps(preparsed, caps));
    EXPECT_EQ(caps.FeatureReportByteLength, TEmulatedPedals::NormalFeatureLength);
    EXPECT_EQ(caps.InputReportByteLength, qzr::ParseReportDescriptor(descriptor).lengths.input);
}

// A signal that cuts a set short may come after the report went out: sending it again would
// run the command twice.
TEST_F(HidrawDeviceTest, InterruptedFeatureSetIsNotRepeated)
{
    const THidHandle handle = OpenNodeOf(pedals_);
    ASSERT_NE(handle, InvalidHidHandle);
    const uint8_t calibrate[TEmulatedPedals::NormalFeatureLength] = {0x00, 0xA5, 0x05};
    fixture_->InterruptNextFeatureSet();
    EXPECT_FALSE(platform_.SetFeature(handle, calibrate, sizeof calibrate));
    EXPECT_EQ(pedals_.ReceivedFrames().size(), 1u);
    EXPECT_EQ(pedals_.Calibration(), TEmulatedPedals::TCalibration::Calibrating);

    // The next set goes out normally.
    EXPECT_TRUE(platform_.SetFeature(handle, calibrate, sizeof calibrate));
    EXPECT_EQ(pedals_.ReceivedFrames().size(), 2u);
}

TEST_F(HidrawDeviceTest, FileThatIsNotHidrawAnswersNothing)
{
    char path[] = "/tmp/qzr-not-hidraw-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const THidHandle handle = platform_.Open(path, true);
    ASSERT_NE(handle, InvalidHidHandle);
    qzr::THidAttributes attributes;
    std::vector<uint8_t> descriptor;
    uint8_t report[17] = {};
    EXPECT_FALSE(platform_.GetAttributes(handle, attributes));
    EXPECT_FALSE(platform_.GetPreparsedData(handle, descriptor));
    EXPECT_FALSE(platform_.GetFeature(handle, report, sizeof report));
    EXPECT_FALSE(platform_.SetFeature(handle, report, sizeof report));
    platform_.Close(handle);
    ::unlink(path);
}

TEST_F(HidrawDeviceTest, ClosedOrForeignHandlesAreRefused)
{
    uint8_t report[17] = {};
    qzr::THidAttributes attributes;
    for (THidHandle handle : {InvalidHidHandle, THidHandle(-5), THidHandle(INT64_MAX)}) {
        SCOPED_TRACE(handle);
        EXPECT_FALSE(platform_.GetAttributes(handle, attributes));
        EXPECT_FALSE(platform_.GetFeature(handle, report, sizeof report));
        platform_.Close(handle);
    }
}

TEST(HidrawCapsTest, CapsComeFromTheDescriptor)
{
    qzr::THidrawPlatform platform;
    TEmulatedPedals pedals;
    pedals.SetDeclaredFeatureLength(300);
    qzr::THidCaps caps;
    ASSERT_TRUE(platform.GetCaps(pedals.ReportDescriptor(), caps));
    EXPECT_EQ(caps.FeatureReportByteLength, 300);

    // Keyboard: 8 input bytes and 1 LED byte, each with the report id byte.
    ASSERT_TRUE(platform.GetCaps(qzr::sim::MakeKeyboard().ReportDescriptor(), caps));
    EXPECT_EQ(caps.InputReportByteLength, 9);
    EXPECT_EQ(caps.OutputReportByteLength, 2);
    EXPECT_EQ(caps.FeatureReportByteLength, 0);

    // A malformed descriptor leaves the whole record zero.
    const std::vector<uint8_t> truncated = {0xA1, 0x01, 0x75, 0x08, 0x95, 0x10, 0xB1, 0x02, 0x26};
    EXPECT_FALSE(platform.GetCaps(truncated, caps));
    EXPECT_EQ(caps.InputReportByteLength, 0);
    EXPECT_EQ(caps.FeatureReportByteLength, 0);
}

} // namespace
