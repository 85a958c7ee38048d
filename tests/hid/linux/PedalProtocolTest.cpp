// The emulated pedal controller reached two ways: directly through the simulated platform, and
// as a hidraw node through the Linux platform's per-device code and the FUSE fixture. The same
// scenarios run on both, so the simulation cannot drift from what the real code path does.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "hid/linux/HidrawPlatform.h"
#include "hid/sim/EmulatedPedals.h"
#include "hid/sim/SimulatedPlatform.h"
#include "tests/hid/linux/HidrawFuseFixture.h"
#include "tests/support/FakeServices.h"

namespace {

using qzr::IHidPlatform;
using qzr::InvalidHidHandle;
using qzr::THidHandle;
using qzr::sim::TEmulatedHid;
using qzr::sim::TEmulatedPedals;
using qzr::sim::TOpenRefusal;
using qzr::sim::TTransferFault;

constexpr uint8_t SelectRead = 0x10;
constexpr uint8_t SelectWrite = 0x11;
constexpr int32_t PedalsLength = TEmulatedPedals::NormalFeatureLength;

class TBackend {
public:
    virtual ~TBackend() = default;
    virtual IHidPlatform& Platform() = 0;
    // Makes the device reachable and returns the path to open.
    virtual std::string Attach(std::shared_ptr<TEmulatedHid> device) = 0;
    // The kernel lets a read-only hidraw descriptor carry feature reports; a Windows query-only
    // handle, which the simulation plays, does not.
    virtual bool QueryOnlyHandleTransfers() const = 0;
};

class TSimulatedBackend : public TBackend {
public:
    IHidPlatform& Platform() override { return platform_; }
    std::string Attach(std::shared_ptr<TEmulatedHid> device) override
    {
        platform_.Plug(device);
        return platform_.PathOf(*device);
    }
    bool QueryOnlyHandleTransfers() const override { return false; }

private:
    qzr::test::TManualPoster poster_;
    qzr::sim::TSimulatedPlatform platform_{poster_};
};

class THidrawBackend : public TBackend {
public:
    IHidPlatform& Platform() override { return platform_; }
    std::string Attach(std::shared_ptr<TEmulatedHid> device) override
    {
        devices_.push_back(device);
        return fixture_.AddNode(*device);
    }
    bool QueryOnlyHandleTransfers() const override { return true; }

private:
    std::vector<std::shared_ptr<TEmulatedHid>> devices_;   // outlive the fixture's nodes
    qzr::test::THidrawFuseFixture fixture_;
    qzr::THidrawPlatform platform_;
};

enum class TBackendKind { Simulated, Hidraw };

std::string BackendName(const testing::TestParamInfo<TBackendKind>& info)
{
    return info.param == TBackendKind::Simulated ? "Simulated" : "Hidraw";
}

// Closes the handle when the scenario ends, before the fixture unmounts.
class TOpenHandle {
public:
    TOpenHandle(IHidPlatform& platform, const std::string& path, bool readWrite)
        : platform_(platform), handle_(platform.Open(path, readWrite)) {}
    ~TOpenHandle()
    {
        if (handle_ != InvalidHidHandle)
            platform_.Close(handle_);
    }
    TOpenHandle(const TOpenHandle&) = delete;
    TOpenHandle& operator=(const TOpenHandle&) = delete;
    bool IsOpen() const { return handle_ != InvalidHidHandle; }
    THidHandle operator*() const { return handle_; }

private:
    IHidPlatform& platform_;
    THidHandle handle_;
};

std::vector<uint8_t> CommandFrame(uint8_t code, uint8_t argument, int32_t length)
{
    std::vector<uint8_t> frame(size_t(length), 0);
    frame[1] = 0xA5;
    frame[2] = code;
    frame[3] = argument;
    return frame;
}

TEmulatedPedals::TStructure Pattern(uint8_t seed)
{
    TEmulatedPedals::TStructure bytes{};
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(seed + 7 * i);
    return bytes;
}

class PedalProtocolTest : public testing::TestWithParam<TBackendKind> {
protected:
    void SetUp() override
    {
        if (GetParam() == TBackendKind::Simulated)
            backend_ = std::make_unique<TSimulatedBackend>();
        else
            ASSERT_NO_THROW(backend_ = std::make_unique<THidrawBackend>());
        pedals_ = std::make_shared<TEmulatedPedals>();
    }

    IHidPlatform& Platform() { return backend_->Platform(); }
    std::string AttachPedals() { return backend_->Attach(pedals_); }

    bool Send(THidHandle handle, const std::vector<uint8_t>& report)
    {
        return Platform().SetFeature(handle, report.data(), int32_t(report.size()));
    }

    qzr::THidCaps CapsOf(THidHandle handle)
    {
        std::vector<uint8_t> descriptor;
        qzr::THidCaps caps;
        EXPECT_TRUE(Platform().GetPreparsedData(handle, descriptor));
        EXPECT_TRUE(Platform().GetCaps(descriptor, caps));
        return caps;
    }

    std::unique_ptr<TBackend> backend_;
    std::shared_ptr<TEmulatedPedals> pedals_;
};

TEST_P(PedalProtocolTest, IdentifiesThePedals)
{
    const std::string path = AttachPedals();
    TOpenHandle handle(Platform(), path, true);
    ASSERT_TRUE(handle.IsOpen());

    qzr::THidAttributes attributes;
    ASSERT_TRUE(Platform().GetAttributes(*handle, attributes));
    EXPECT_EQ(attributes.VendorID, 0x16C0);
    EXPECT_EQ(attributes.ProductID, 0x0612);

    std::vector<uint8_t> descriptor;
    ASSERT_TRUE(Platform().GetPreparsedData(*handle, descriptor));
    EXPECT_EQ(descriptor, pedals_->ReportDescriptor());
    qzr::THidCaps caps;
    ASSERT_TRUE(Platform().GetCaps(descriptor, caps));
    EXPECT_EQ(caps.FeatureReportByteLength, PedalsLength);
}

TEST_P(PedalProtocolTest, SelectReadThenReadReturnsTheStructure)
{
    const std::string path = AttachPedals();
    TOpenHandle handle(Platform(), path, true);
    for (uint8_t id : {0x00, 0x10, 0x11, 0x12}) {
        SCOPED_TRACE(int(id));
        pedals_->SetStructure(id, Pattern(id));
        ASSERT_TRUE(Send(*handle, CommandFrame(SelectRead, id, PedalsLength)));

        std::vector<uint8_t> report(PedalsLength, 0xEE);
        ASSERT_TRUE(Platform().GetFeature(*handle, report.data(), PedalsLength));
        EXPECT_EQ(report[0], 0);
        const TEmulatedPedals::TStructure expected = Pattern(id);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), report.begin() + 1));
    }
    ASSERT_FALSE(pedals_->Log().empty());
    EXPECT_EQ(pedals_->Log().front().bytes, CommandFrame(SelectRead, 0x00, PedalsLength));
}

TEST_P(PedalProtocolTest, SelectWriteThenWriteStoresTheStructure)
{
    const std::string path = AttachPedals();
    TOpenHandle handle(Platform(), path, true);
    for (uint8_t id : {0x00, 0x10, 0x11, 0x12}) {
        SCOPED_TRACE(int(id));
        ASSERT_TRUE(Send(*handle, CommandFrame(SelectWrite, id, PedalsLength)));
        std::vector<uint8_t> report(PedalsLength, 0);
        const TEmulatedPedals::TStructure bytes = Pattern(uint8_t(0x40 + id));
        std::copy(bytes.begin(), bytes.end(), report.begin() + 1);
        ASSERT_TRUE(Send(*handle, report));
        EXPECT_EQ(pedals_->Structure(id), bytes);
    }
}

TEST_P(PedalProtocolTest, FeatureLengthIsTheDeclaredOne)
{
    for (int32_t declared : {0, 2, 17, 300}) {
        SCOPED_TRACE(declared);
        auto pedals = std::make_shared<TEmulatedPedals>();
        pedals->SetDeclaredFeatureLength(declared);
        const std::string path = backend_->Attach(pedals);
        TOpenHandle handle(Platform(), path, true);
        ASSERT_TRUE(handle.IsOpen());
        EXPECT_EQ(CapsOf(*handle).FeatureReportByteLength, declared);
        if (declared == 0)
            continue;
        // A transfer of the declared length moves exactly that many bytes.
        std::vector<uint8_t> report(size_t(declared), 0);
        EXPECT_TRUE(Platform().GetFeature(*handle, report.data(), declared));
        ASSERT_FALSE(pedals->Log().empty());
        EXPECT_EQ(pedals->Log().back().requested, declared);
    }
}

TEST_P(PedalProtocolTest, RefusedReadWriteOpenLeavesQueryAccess)
{
    pedals_->openRefusal = TOpenRefusal::ReadWrite;
    const std::string path = AttachPedals();
    EXPECT_FALSE(TOpenHandle(Platform(), path, true).IsOpen());

    TOpenHandle handle(Platform(), path, false);
    ASSERT_TRUE(handle.IsOpen());
    qzr::THidAttributes attributes;
    ASSERT_TRUE(Platform().GetAttributes(*handle, attributes));
    EXPECT_EQ(attributes.ProductID, 0x0612);
    EXPECT_EQ(CapsOf(*handle).FeatureReportByteLength, PedalsLength);

    std::vector<uint8_t> report(PedalsLength, 0);
    EXPECT_EQ(Platform().GetFeature(*handle, report.data(), PedalsLength),
              backend_->QueryOnlyHandleTransfers());
}

TEST_P(PedalProtocolTest, UnidentifiableDeviceStillOpens)
{
    pedals_->identifyFails = true;
    const std::string path = AttachPedals();
    TOpenHandle handle(Platform(), path, true);
    ASSERT_TRUE(handle.IsOpen());
    qzr::THidAttributes attributes;
    EXPECT_FALSE(Platform().GetAttributes(*handle, attributes));
}

TEST_P(PedalProtocolTest, RefusedOpenGivesNoHandle)
{
    pedals_->openRefusal = TOpenRefusal::All;
    const std::string path = AttachPedals();
    EXPECT_FALSE(TOpenHandle(Platform(), path, true).IsOpen());
    EXPECT_FALSE(TOpenHandle(Platform(), path, false).IsOpen());
}

struct TFaultCase {
    const char* name;
    TTransferFault getFault;
    TTransferFault setFault;
};

TEST_P(PedalProtocolTest, FailedOrShortTransfersReportFalse)
{
    const TFaultCase cases[] = {
        {"get fails", TTransferFault::Fail, TTransferFault::None},
        {"get short", TTransferFault::Short, TTransferFault::None},
        {"set fails", TTransferFault::None, TTransferFault::Fail},
        {"set short", TTransferFault::None, TTransferFault::Short},
    };
    const std::string path = AttachPedals();
    TOpenHandle handle(Platform(), path, true);
    for (const TFaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        pedals_->getFault = c.getFault;
        pedals_->setFault = c.setFault;
        // The report sits inside a larger buffer: nothing past its length may change.
        std::vector<uint8_t> buffer(PedalsLength + 8, 0xEE);
        buffer[0] = 0;
        EXPECT_EQ(Platform().GetFeature(*handle, buffer.data(), PedalsLength),
                  c.getFault == TTransferFault::None);
        EXPECT_EQ(Send(*handle, CommandFrame(SelectRead, 0, PedalsLength)),
                  c.setFault == TTransferFault::None);
        for (size_t i = PedalsLength; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], 0xEE) << "byte " << i;
    }
}

TEST_P(PedalProtocolTest, DeviceVanishingBetweenSelectAndReadFailsTheRead)
{
    const std::string path = AttachPedals();
    TOpenHandle handle(Platform(), path, true);
    pedals_->vanishAfterSelect = true;
    Send(*handle, CommandFrame(SelectRead, 0x11, PedalsLength));

    std::vector<uint8_t> report(PedalsLength, 0);
    EXPECT_FALSE(Platform().GetFeature(*handle, report.data(), PedalsLength));
    qzr::THidAttributes attributes;
    EXPECT_FALSE(Platform().GetAttributes(*handle, attributes));
    EXPECT_FALSE(TOpenHandle(Platform(), path, false).IsOpen());
}

TEST_P(PedalProtocolTest, OtherDevicesAreIdentifiedAndHaveNoFeatureReports)
{
    struct TOther {
        TEmulatedHid device;
        uint16_t productID;
    } others[] = {{qzr::sim::MakeKeyboard(), 0xC31C}, {qzr::sim::MakeMouse(), 0xC077}};
    for (TOther& other : others) {
        SCOPED_TRACE(other.device.Name());
        auto device = std::make_shared<TEmulatedHid>(other.device);
        const std::string path = backend_->Attach(device);
        TOpenHandle handle(Platform(), path, false);
        ASSERT_TRUE(handle.IsOpen());
        qzr::THidAttributes attributes;
        ASSERT_TRUE(Platform().GetAttributes(*handle, attributes));
        EXPECT_EQ(attributes.VendorID, 0x046D);
        EXPECT_EQ(attributes.ProductID, other.productID);   // above 0x7FFF: no sign extension
        EXPECT_EQ(CapsOf(*handle).FeatureReportByteLength, 0);
        std::array<uint8_t, 8> report{};
        EXPECT_FALSE(Platform().GetFeature(*handle, report.data(), int32_t(report.size())));
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, PedalProtocolTest,
                         testing::Values(TBackendKind::Simulated, TBackendKind::Hidraw),
                         BackendName);

} // namespace
