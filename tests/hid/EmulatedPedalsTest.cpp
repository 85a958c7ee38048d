#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "hid/HidReportDescriptor.h"
#include "hid/sim/EmulatedPedals.h"
#include "hid/sim/SimulatedPlatform.h"
#include "tests/support/FakeServices.h"

namespace qzr::sim {
namespace {

using Bytes = std::vector<uint8_t>;

// Sends 00 A5 code arg padded to `length`, as the command channel does.
int32_t SendFrame(TEmulatedPedals& pedals, uint8_t code, uint8_t argument, int32_t length = 17) {
    Bytes frame(size_t(length), 0);
    frame[1] = 0xA5;
    if (length > 2) frame[2] = code;
    if (length > 3) frame[3] = argument;
    return pedals.SetFeature(frame.data(), length);
}

Bytes Read(TEmulatedPedals& pedals, int32_t length, int32_t* result = nullptr) {
    Bytes buffer(size_t(length), 0xEE);
    int32_t moved = pedals.GetFeature(buffer.data(), length);
    if (result) *result = moved;
    return buffer;
}

Bytes Report(const TEmulatedPedals::TStructure& s, size_t length) {
    Bytes report(length, 0);
    for (size_t i = 0; i < s.size() && i + 1 < length; ++i)
        report[i + 1] = s[i];
    return report;
}

TEST(EmulatedPedals, SelectReadThenReadReturnsTheStructureZeroFilled) {
    TEmulatedPedals pedals;
    struct Case { uint8_t id; int32_t length; };
    const Case cases[] = {{0, 17}, {0x10, 17}, {0x11, 17}, {0x12, 17}, {0x12, 64}, {0, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << int(c.id) << " length " << c.length);
        ASSERT_EQ(SendFrame(pedals, 0x10, c.id), 17);
        int32_t moved = 0;
        Bytes got = Read(pedals, c.length, &moved);
        EXPECT_EQ(moved, c.length);
        EXPECT_EQ(got, Report(pedals.Structure(c.id), size_t(c.length)));
    }
}

TEST(EmulatedPedals, FactoryStructuresDescribeThreeAxes) {
    TEmulatedPedals pedals(0x1234);
    auto global = pedals.Structure(0);
    EXPECT_EQ(global[4] | (global[5] << 8), 0x1234) << "serial number at report bytes 5, 6";
    EXPECT_EQ(global[12], 3) << "three axis structures";
    struct Axis { uint8_t id; uint8_t page; uint8_t usage; uint8_t bits; };
    for (Axis a : {Axis{0x10, 2, 0xBA, 12}, Axis{0x11, 1, 0x33, 10}, Axis{0x12, 1, 0x34, 10}}) {
        SCOPED_TRACE(int(a.id));
        auto s = pedals.Structure(a.id);
        EXPECT_EQ(s[2] & 0x07, a.page);
        EXPECT_TRUE(s[2] & 0x40) << "axis on";
        EXPECT_EQ(s[3], a.usage);
        EXPECT_EQ(s[4] & 0x1F, a.bits);
    }
}

TEST(EmulatedPedals, UnknownStructureReadsAsZeros) {
    TEmulatedPedals pedals;
    SendFrame(pedals, 0x10, 5);
    EXPECT_EQ(Read(pedals, 17), Bytes(17, 0));
}

TEST(EmulatedPedals, SelectWriteStoresTheNextReport) {
    TEmulatedPedals pedals;
    Bytes structure(17, 0);
    for (size_t i = 1; i < 17; ++i) structure[i] = uint8_t(0x40 + i);
    SendFrame(pedals, 0x11, 0x11);
    ASSERT_EQ(pedals.SetFeature(structure.data(), 17), 17);
    SendFrame(pedals, 0x10, 0x11);
    EXPECT_EQ(Read(pedals, 17), structure);
    EXPECT_EQ(pedals.Structure(0x10), pedals.FactoryStructure(0x10)) << "another axis changed";

    // The frame after the structure is a command again.
    SendFrame(pedals, 5, 0);
    EXPECT_EQ(pedals.Calibration(), TEmulatedPedals::TCalibration::Calibrating);
}

TEST(EmulatedPedals, ShortStructureWriteKeepsTheBytesItDidNotCarry) {
    TEmulatedPedals pedals;
    auto before = pedals.Structure(0);
    SendFrame(pedals, 0x11, 0, 8);
    Bytes part = {0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7};
    pedals.SetFeature(part.data(), 8);
    auto after = pedals.Structure(0);
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(after[i], part[i + 1]);
    for (size_t i = 7; i < 16; ++i) EXPECT_EQ(after[i], before[i]);
}

TEST(EmulatedPedals, CalibrationCommandsMoveItsState) {
    using C = TEmulatedPedals::TCalibration;
    TEmulatedPedals pedals;
    struct Step { uint8_t code; C state; };
    const Step steps[] = {{6, C::Idle}, {5, C::Calibrating}, {6, C::Idle}, {5, C::Calibrating},
                          {4, C::Idle}, {4, C::Idle}};
    for (const Step& s : steps) {
        SendFrame(pedals, s.code, 0);
        EXPECT_EQ(pedals.Calibration(), s.state) << "after code " << int(s.code);
    }
    EXPECT_EQ(pedals.CalibrationsFinished(), 1);
    EXPECT_EQ(pedals.CalibrationsCancelled(), 1);
    EXPECT_EQ(pedals.CommandCodes(), (Bytes{6, 5, 6, 5, 4, 4}));
}

TEST(EmulatedPedals, FactoryDefaultsRestoreEveryStructure) {
    TEmulatedPedals pedals;
    TEmulatedPedals::TStructure junk{};
    junk.fill(0x77);
    for (uint8_t id : {0, 0x10, 0x11, 0x12}) pedals.SetStructure(id, junk);
    SendFrame(pedals, 1, 0);
    for (uint8_t id : {0, 0x10, 0x11, 0x12})
        EXPECT_EQ(pedals.Structure(id), pedals.FactoryStructure(id)) << int(id);
    EXPECT_EQ(pedals.FactoryResets(), 1);
}

TEST(EmulatedPedals, RebootDropsOffTheBusUntilAttached) {
    TEmulatedPedals pedals;
    std::vector<TBusDrop> drops;
    pedals.OnBusDrop = [&](TBusDrop why) { drops.push_back(why); };
    SendFrame(pedals, 5, 0);
    SendFrame(pedals, 0, 0);
    EXPECT_EQ(drops, std::vector<TBusDrop>{TBusDrop::Reboot});
    EXPECT_FALSE(pedals.OnBus());
    EXPECT_EQ(SendFrame(pedals, 5, 0), -1);
    EXPECT_EQ(pedals.GetFeature(Read(pedals, 17).data(), 17), -1);
    pedals.Attach();
    EXPECT_TRUE(pedals.OnBus());
    EXPECT_EQ(pedals.Calibration(), TEmulatedPedals::TCalibration::Idle);
    EXPECT_EQ(pedals.Reboots(), 1);
}

TEST(EmulatedPedals, FrameCutShortIsLoggedAndIgnored) {
    TEmulatedPedals pedals;
    EXPECT_EQ(SendFrame(pedals, 5, 0, 2), 2);
    EXPECT_EQ(pedals.Calibration(), TEmulatedPedals::TCalibration::Idle);
    ASSERT_EQ(pedals.ReceivedFrames().size(), 1u);
    EXPECT_EQ(pedals.ReceivedFrames()[0], (Bytes{0, 0xA5}));
    EXPECT_TRUE(pedals.CommandCodes().empty());
}

TEST(EmulatedPedals, TransferFaults) {
    struct Case { const char* name; TTransferFault get, set; int32_t readResult, writeResult; };
    const Case cases[] = {
        {"short read", TTransferFault::Short, TTransferFault::None, 5, 17},
        {"failed read", TTransferFault::Fail, TTransferFault::None, -1, 17},
        {"short write", TTransferFault::None, TTransferFault::Short, 17, 5},
        {"failed write", TTransferFault::None, TTransferFault::Fail, 17, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TEmulatedPedals pedals;
        pedals.getFault = c.get;
        pedals.setFault = c.set;
        EXPECT_EQ(SendFrame(pedals, 0x10, 0x10), c.writeResult);
        int32_t moved = 0;
        Bytes got = Read(pedals, 17, &moved);
        EXPECT_EQ(moved, c.readResult);
        Bytes expected = Report(pedals.Structure(0x10), 17);
        if (c.set == TTransferFault::Fail) expected = Report(pedals.Structure(0), 17);
        for (int32_t i = 0; i < 17; ++i) {
            uint8_t want = i < moved ? expected[size_t(i)] : 0xEE;   // untouched beyond the move
            EXPECT_EQ(got[size_t(i)], want) << "byte " << i;
        }
        EXPECT_EQ(pedals.Log().size(), 2u);
    }
}

TEST(EmulatedPedals, VanishesBetweenTheSelectAndTheRead) {
    TEmulatedPedals pedals;
    pedals.vanishAfterSelect = true;
    std::vector<TBusDrop> drops;
    pedals.OnBusDrop = [&](TBusDrop why) { drops.push_back(why); };
    EXPECT_EQ(SendFrame(pedals, 0x10, 0), 17);
    EXPECT_EQ(drops, std::vector<TBusDrop>{TBusDrop::Vanish});
    int32_t moved = 0;
    Read(pedals, 17, &moved);
    EXPECT_EQ(moved, -1);
    EXPECT_EQ(pedals.ReadCount(), 0);
}

TEST(EmulatedPedals, DescriptorDeclaresTheFeatureLength) {
    for (int32_t length : {0, 2, 17, 300}) {
        SCOPED_TRACE(length);
        TEmulatedPedals pedals;
        pedals.SetDeclaredFeatureLength(length);
        THidDescriptorResult parsed = ParseReportDescriptor(pedals.ReportDescriptor());
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_EQ(parsed.lengths.feature, length);
        EXPECT_EQ(parsed.lengths.input, 5) << "rudder 12 bits, two brakes 10 bits each";
        EXPECT_EQ(parsed.lengths.output, 0);
    }
}

TEST(EmulatedPedals, KeyboardAndMouseAreNotThePedals) {
    struct Case { const char* name; TEmulatedHid device; uint16_t input, output; };
    Case cases[] = {{"keyboard", MakeKeyboard(), 9, 2}, {"mouse", MakeMouse(), 5, 0}};
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(c.device.VendorID(), TEmulatedPedals::PedalsVendorID);
        THidDescriptorResult parsed = ParseReportDescriptor(c.device.ReportDescriptor());
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_EQ(parsed.lengths.input, c.input);
        EXPECT_EQ(parsed.lengths.output, c.output);
        EXPECT_EQ(parsed.lengths.feature, 0);
        uint8_t buffer[17] = {};
        EXPECT_EQ(c.device.GetFeature(buffer, 17), -1);
    }
}

// ---------------------------------------------------------------------------------------------

class SimulatedPlatformTest : public ::testing::Test {
protected:
    test::TManualPoster poster;
    TSimulatedPlatform platform{poster};
    int notifications = 0;

    void Listen() {
        platform.SetChangeCallback([this] { ++notifications; });
    }
    THidHandle OpenPedals(const TEmulatedHid& device, bool readWrite = true) {
        return platform.Open(platform.PathOf(device), readWrite);
    }
};

TEST_F(SimulatedPlatformTest, EveryPlugGetsANewInstanceKey) {
    auto pedals = platform.PlugPedals();
    std::string first = platform.InstanceKeyOf(*pedals);
    std::string path = platform.PathOf(*pedals);
    EXPECT_EQ(platform.Plug(pedals), "") << "plugged in twice";
    platform.Unplug(*pedals);
    EXPECT_EQ(platform.InstanceKeyOf(*pedals), "");
    std::string second = platform.Plug(pedals);
    EXPECT_NE(second, first);
    EXPECT_EQ(platform.PathOf(*pedals), path) << "the node number is reused";

    std::vector<THidInterface> interfaces;
    ASSERT_TRUE(platform.EnumerateInterfaces(interfaces));
    ASSERT_EQ(interfaces.size(), 1u);
    EXPECT_EQ(interfaces[0].instanceKey, second);
}

TEST_F(SimulatedPlatformTest, PlugAndUnplugArePostedToTheListener) {
    platform.PlugKeyboard();
    EXPECT_TRUE(poster.queue.empty()) << "nobody listened when it was plugged";
    Listen();
    auto pedals = platform.PlugPedals();
    platform.Unplug(*pedals);
    platform.NotifyUnrelatedChange();
    EXPECT_EQ(notifications, 0) << "notifications are posted, not called";
    poster.RunPending();
    EXPECT_EQ(notifications, 3);
}

TEST_F(SimulatedPlatformTest, HandlesOfAGoneDeviceFail) {
    auto pedals = platform.PlugPedals();
    THidHandle handle = OpenPedals(*pedals);
    ASSERT_NE(handle, InvalidHidHandle);
    platform.Unplug(*pedals);
    platform.Plug(pedals);
    THidAttributes attributes;
    uint8_t buffer[17] = {};
    EXPECT_FALSE(platform.GetAttributes(handle, attributes)) << "an old plug's handle";
    EXPECT_FALSE(platform.GetFeature(handle, buffer, 17));
    EXPECT_TRUE(pedals->Log().empty());
    platform.Close(handle);
    EXPECT_EQ(platform.OpenHandleCount(), 0);
}

TEST_F(SimulatedPlatformTest, OpenRefusals) {
    auto pedals = platform.PlugPedals();
    struct Case { TOpenRefusal refusal; bool readWrite, queryOnly; };
    for (Case c : {Case{TOpenRefusal::None, true, true}, Case{TOpenRefusal::ReadWrite, false, true},
                   Case{TOpenRefusal::All, false, false}}) {
        pedals->openRefusal = c.refusal;
        THidHandle rw = OpenPedals(*pedals, true);
        THidHandle q = OpenPedals(*pedals, false);
        EXPECT_EQ(rw != InvalidHidHandle, c.readWrite);
        EXPECT_EQ(q != InvalidHidHandle, c.queryOnly);
        uint8_t buffer[17] = {};
        EXPECT_FALSE(platform.GetFeature(q, buffer, 17)) << "query-only handles move no reports";
        platform.Close(rw);
        platform.Close(q);
    }
    EXPECT_EQ(platform.OpenHandleCount(), 0);
}

TEST_F(SimulatedPlatformTest, CapsComeFromTheDeclaredDescriptor) {
    auto pedals = platform.PlugPedals();
    for (int32_t length : {0, 2, 17, 300}) {
        SCOPED_TRACE(length);
        pedals->SetDeclaredFeatureLength(length);
        THidHandle handle = OpenPedals(*pedals);
        std::vector<uint8_t> preparsed;
        ASSERT_TRUE(platform.GetPreparsedData(handle, preparsed));
        THidCaps caps;
        ASSERT_TRUE(platform.GetCaps(preparsed, caps));
        EXPECT_EQ(caps.FeatureReportByteLength, length);
        platform.Close(handle);
    }
    THidCaps caps;
    caps.FeatureReportByteLength = 5;
    EXPECT_FALSE(platform.GetCaps({0x05}, caps)) << "a truncated descriptor";
    EXPECT_EQ(caps.FeatureReportByteLength, 0);
}

TEST_F(SimulatedPlatformTest, ShortTransferIsNotASuccess) {
    auto pedals = platform.PlugPedals();
    pedals->getFault = TTransferFault::Short;
    THidHandle handle = OpenPedals(*pedals);
    uint8_t buffer[17] = {};
    EXPECT_FALSE(platform.GetFeature(handle, buffer, 17));
    EXPECT_EQ(buffer[1], pedals->Structure(0)[0]) << "the bytes that came are there";
    EXPECT_EQ(buffer[5], 0);
    platform.Close(handle);
}

TEST_F(SimulatedPlatformTest, RebootComesBackAsANewPlugAMomentLater) {
    Listen();
    auto pedals = platform.PlugPedals();
    poster.RunPending();
    std::string before = platform.InstanceKeyOf(*pedals);
    THidHandle handle = OpenPedals(*pedals);
    uint8_t frame[17] = {0, 0xA5, 0, 0};
    EXPECT_TRUE(platform.SetFeature(handle, frame, 17));
    EXPECT_FALSE(platform.IsPlugged(*pedals));
    EXPECT_EQ(poster.RunPending(), 1);
    EXPECT_EQ(notifications, 2);

    poster.Advance(platform.rebootDelayMs - 1);
    EXPECT_FALSE(platform.IsPlugged(*pedals));
    poster.Advance(1);
    EXPECT_TRUE(platform.IsPlugged(*pedals));
    EXPECT_NE(platform.InstanceKeyOf(*pedals), before);
    EXPECT_EQ(notifications, 3);
    EXPECT_FALSE(platform.SetFeature(handle, frame, 17)) << "the old handle belongs to the old plug";
    platform.Close(handle);
}

TEST_F(SimulatedPlatformTest, DeviceOwnedOnlyByThePlatformSurvivesItsOwnReboot) {
    Listen();
    platform.Plug(std::make_shared<TEmulatedPedals>());
    std::vector<THidInterface> interfaces;
    platform.EnumerateInterfaces(interfaces);
    THidHandle handle = platform.Open(interfaces[0].devicePath, true);
    uint8_t frame[17] = {0, 0xA5, 0, 0};
    platform.SetFeature(handle, frame, 17);
    platform.Close(handle);
    poster.Advance(platform.rebootDelayMs);
    EXPECT_EQ(platform.InterfaceCount(), 1u);
}

TEST(SimulatedPlatformLifetime, WorkPostedBeforeDestructionDoesNothing) {
    test::TManualPoster poster;
    int notifications = 0;
    std::shared_ptr<TEmulatedPedals> pedals;
    {
        TSimulatedPlatform platform(poster);
        platform.SetChangeCallback([&] { ++notifications; });
        pedals = platform.PlugPedals();
        uint8_t frame[17] = {0, 0xA5, 0, 0};
        THidHandle handle = platform.Open(platform.PathOf(*pedals), true);
        platform.SetFeature(handle, frame, 17);
    }
    poster.Advance(1000);
    EXPECT_EQ(notifications, 0);
    pedals->Attach();
    EXPECT_EQ(SendFrame(*pedals, 0, 0), 17) << "a device that outlives the platform reboots alone";
    EXPECT_FALSE(pedals->OnBus());
    EXPECT_TRUE(poster.delayed.empty());
}

} // namespace
} // namespace qzr::sim
