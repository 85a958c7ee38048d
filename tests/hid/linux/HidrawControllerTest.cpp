// The controller and its device objects on the real Linux per-device code: the hidraw nodes
// are FUSE files, listed in place of udev's listing.
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "hid/HidControllerClass.h"
#include "hid/linux/HidrawPlatform.h"
#include "hid/sim/EmulatedPedals.h"
#include "tests/hid/linux/HidrawFuseFixture.h"
#include "tests/support/FakeServices.h"

namespace {

using qzr::THidDevice;
using qzr::sim::TEmulatedHid;
using qzr::sim::TEmulatedPedals;

class HidrawControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_THROW(fixture_ = std::make_unique<qzr::test::THidrawFuseFixture>());
        platform_.listed = {{"0003:046D:C31C.0001", fixture_->AddNode(keyboard_)},
                            {"0003:16C0:0612.0002", fixture_->AddNode(pedals_)}};
    }

    // Start-up announcement, offers, and the pedals checked out the way the connection does.
    THidDevice* StartAndCheckOutPedals()
    {
        THidDevice* pedals = nullptr;
        controller_ = std::make_unique<qzr::THidDeviceController>(platform_, poster_);
        controller_->OnDeviceChange = [&](qzr::THidDeviceController& sender) {
            sender.OfferDevices();
        };
        controller_->OnEnumerate = [&](THidDevice& device, int32_t index) {
            if (device.VendorID() == TEmulatedPedals::PedalsVendorID &&
                device.ProductID() == TEmulatedPedals::PedalsProductID)
                controller_->CheckOutAt(index, pedals);
            return true;
        };
        poster_.RunPending();
        return pedals;
    }

    TEmulatedHid keyboard_ = qzr::sim::MakeKeyboard();
    TEmulatedPedals pedals_;
    std::unique_ptr<qzr::test::THidrawFuseFixture> fixture_;
    qzr::test::TFixtureListedPlatform platform_;
    qzr::test::TManualPoster poster_;
    std::unique_ptr<qzr::THidDeviceController> controller_;
};

TEST_F(HidrawControllerTest, FindsQueriesAndTalksToThePedals)
{
    THidDevice* pedals = StartAndCheckOutPedals();
    ASSERT_NE(pedals, nullptr);
    ASSERT_EQ(controller_->Count(), 2);

    const THidDevice& keyboard = controller_->At(0);
    EXPECT_EQ(keyboard.ProductID(), 0xC31C);
    EXPECT_FALSE(keyboard.HasReadWriteAccess());
    EXPECT_FALSE(keyboard.HasOpenFile());

    qzr::THidCaps caps;
    pedals->QueryCaps(caps);
    EXPECT_EQ(caps.FeatureReportByteLength, TEmulatedPedals::NormalFeatureLength);
    EXPECT_FALSE(pedals->HasOpenFile());

    std::vector<uint8_t> report(TEmulatedPedals::NormalFeatureLength, 0);
    report[1] = 0xA5;
    report[2] = 0x10;   // select-read Global
    EXPECT_TRUE(pedals->SetFeatureReport(report.data(), int32_t(report.size())));
    std::fill(report.begin(), report.end(), 0);
    EXPECT_TRUE(pedals->GetFeatureReport(report.data(), int32_t(report.size())));
    EXPECT_TRUE(pedals->HasReadWriteAccess());
    const TEmulatedPedals::TStructure global = pedals_.Structure(0);
    EXPECT_TRUE(std::equal(global.begin(), global.end(), report.begin() + 1));
}

TEST_F(HidrawControllerTest, NodeThatCannotBeOpenedIsNotListed)
{
    keyboard_.openRefusal = qzr::sim::TOpenRefusal::All;
    ASSERT_NE(StartAndCheckOutPedals(), nullptr);
    ASSERT_EQ(controller_->Count(), 1);
    EXPECT_EQ(controller_->At(0).PnPInfo().DeviceInstance, "0003:16C0:0612.0002");
}

// A node of the pedals that refuses to open is told apart, with the kernel's reason, from
// the ids udev gives (here: the listing's); nothing is offered for it.
TEST_F(HidrawControllerTest, ListingNotesWhyThePedalsDidNotOpen)
{
    platform_.listed[0].idsKnown = true;
    platform_.listed[0].vendorID = 0x046D;
    platform_.listed[0].productID = 0xC31C;
    platform_.listed[1].idsKnown = true;
    platform_.listed[1].vendorID = TEmulatedPedals::PedalsVendorID;
    platform_.listed[1].productID = TEmulatedPedals::PedalsProductID;
    for (int error : {EACCES, EBUSY}) {
        SCOPED_TRACE(error);
        pedals_.openRefusal = qzr::sim::TOpenRefusal::All;
        pedals_.refusalErrno = error;
        EXPECT_EQ(StartAndCheckOutPedals(), nullptr);
        const qzr::THidListing& listing = controller_->LastListing();
        ASSERT_EQ(listing.nodes.size(), 2u);
        EXPECT_EQ(listing.nodes[0].error, 0);
        EXPECT_EQ(listing.nodes[1].error, error);
        const qzr::TDeviceDiagnosis diagnosis = qzr::DiagnoseDevice(
            listing, TEmulatedPedals::PedalsVendorID, TEmulatedPedals::PedalsProductID);
        EXPECT_EQ(diagnosis.finding, qzr::TDeviceFinding::Unopenable);
        EXPECT_EQ(diagnosis.error, error);
        EXPECT_EQ(diagnosis.node, platform_.listed[1].devicePath);
        EXPECT_EQ(pedals_.Log().size(), 0u);
        controller_.reset();
    }
}

} // namespace
