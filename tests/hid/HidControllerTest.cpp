#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "hid/HidControllerClass.h"
#include "hid/sim/SimulatedPlatform.h"
#include "tests/support/FakeServices.h"

namespace qzr {
namespace {

using sim::TEmulatedHid;
using sim::TEmulatedPedals;
using sim::TOpenRefusal;
using sim::TSimulatedPlatform;

// A controller on the simulated platform, with handlers that record what they are told.
class HidControllerTest : public ::testing::Test {
protected:
    test::TManualPoster poster;
    TSimulatedPlatform platform{poster};
    std::unique_ptr<THidDeviceController> HidCtl;

    int changes = 0;
    std::vector<std::string> arrivals;
    std::vector<std::string> removals;
    std::vector<int32_t> offered;
    bool checkOutOffered = true;

    void CreateController() {
        HidCtl = std::make_unique<THidDeviceController>(platform, poster);
        HidCtl->OnDeviceChange = [this](THidDeviceController&) { ++changes; };
        HidCtl->OnArrival = [this](THidDevice& d) {
            EXPECT_TRUE(d.IsInHandler());
            arrivals.push_back(d.PnPInfo().DeviceInstance);
        };
        HidCtl->OnRemoval = [this](THidDevice& d) {
            EXPECT_TRUE(d.IsInHandler());
            removals.push_back(d.PnPInfo().DeviceInstance);
        };
        HidCtl->OnEnumerate = [this](THidDevice& d, int32_t idx) {
            EXPECT_TRUE(d.IsInHandler());
            offered.push_back(idx);
            if (checkOutOffered) {
                THidDevice* out = nullptr;
                HidCtl->CheckOutAt(idx, out);
            }
            return true;
        };
    }

    // Start-up: controller built, event loop run, every device offered and checked out.
    void StartAndCheckOutAll() {
        CreateController();
        poster.RunPending();
        HidCtl->OfferDevices();
        offered.clear();
    }

    std::vector<std::string> ListedInstances() const {
        std::vector<std::string> keys;
        for (int32_t i = 0; i < HidCtl->Count(); ++i)
            keys.push_back(HidCtl->At(i).PnPInfo().DeviceInstance);
        return keys;
    }
};

TEST_F(HidControllerTest, StartUpAnnouncementRunsOnlyWhenTheLoopRuns) {
    struct Case { const char* name; int devices; };
    for (Case c : {Case{"no HID device", 0}, Case{"two HID devices", 2}}) {
        SCOPED_TRACE(c.name);
        HidCtl.reset();
        changes = 0;
        test::TManualPoster localPoster;
        TSimulatedPlatform localPlatform(localPoster);
        for (int i = 0; i < c.devices; ++i)
            localPlatform.PlugKeyboard();
        THidDeviceController ctl(localPlatform, localPoster);
        ctl.OnDeviceChange = [this](THidDeviceController&) { ++changes; };
        EXPECT_EQ(localPlatform.EnumerationCount(), 0);
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(ctl.Count(), 0);

        localPoster.RunPending();
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(ctl.LastAnnouncementParameter(), -1);
        EXPECT_EQ(ctl.Count(), c.devices);
        EXPECT_EQ(ctl.OfferDevices(), c.devices ? 1 : 0) << "without OnEnumerate the first offer stops";
        ctl.OnEnumerate = [](THidDevice&, int32_t) { return true; };
        EXPECT_EQ(ctl.OfferDevices(), c.devices);
        EXPECT_FALSE(ctl.InChange());
    }
}

TEST_F(HidControllerTest, ServicesMissingMeansNoAnnouncementAndNoDevices) {
    platform.servicesPresent = false;
    platform.PlugPedals();
    CreateController();
    EXPECT_TRUE(poster.queue.empty());
    platform.PlugKeyboard();
    poster.RunPending();
    HidCtl->HandleDeviceChangeMessage(DevNodesChanged, 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(HidCtl->Count(), 0);
    EXPECT_TRUE(arrivals.empty());
}

TEST_F(HidControllerTest, ChangeThatAddsOrRemovesNothingIsNotAnnounced) {
    platform.PlugKeyboard();
    platform.PlugMouse();
    StartAndCheckOutAll();
    ASSERT_EQ(changes, 1);
    THidDevice* first = &HidCtl->At(0);
    int enumerations = platform.EnumerationCount();

    platform.NotifyUnrelatedChange();
    poster.RunPending();
    EXPECT_EQ(platform.EnumerationCount(), enumerations + 1) << "the comparison ran";
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(HidCtl->Count(), 2);
    EXPECT_EQ(&HidCtl->At(0), first) << "the fresh copy of a known interface is thrown away";
    EXPECT_EQ(arrivals.size(), 2u);
    EXPECT_TRUE(removals.empty());
    EXPECT_EQ(platform.OpenHandleCount(), 0) << "thrown-away copies left files open";
}

TEST_F(HidControllerTest, OtherDeviceChangeEventsAreIgnored) {
    platform.PlugKeyboard();
    CreateController();
    poster.RunPending();
    int enumerations = platform.EnumerationCount();
    for (uint32_t event : {0x8000u, 0x8004u, 0x0018u}) {
        HidCtl->HandleDeviceChangeMessage(event, 0);
        EXPECT_EQ(platform.EnumerationCount(), enumerations) << "event " << event;
    }
}

TEST_F(HidControllerTest, GoneCheckedOutDeviceIsRemovedAgainAtEveryAnnouncement) {
    auto pedals = platform.PlugPedals();
    platform.PlugKeyboard();
    StartAndCheckOutAll();
    std::string pedalsKey = platform.InstanceKeyOf(*pedals);
    THidDevice* pedalsEntry = &HidCtl->At(0);
    ASSERT_EQ(pedalsEntry->PnPInfo().DeviceInstance, pedalsKey);

    platform.Unplug(*pedals);
    poster.RunPending();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(removals, std::vector<std::string>{pedalsKey});
    EXPECT_EQ(HidCtl->Count(), 2) << "a checked-out entry stays in the list";
    EXPECT_EQ(&HidCtl->At(0), pedalsEntry);
    EXPECT_FALSE(pedalsEntry->IsPluggedIn());
    EXPECT_EQ(HidCtl->UnpluggedCount(), 1);
    EXPECT_EQ(HidCtl->CheckedOutCount(), 1);
    EXPECT_EQ(HidCtl->CheckedInCount(), 0);

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        platform.NotifyUnrelatedChange();
        poster.RunPending();
        EXPECT_EQ(changes, 2 + round);
        EXPECT_EQ(removals.size(), size_t(1 + round));
        EXPECT_EQ(removals.back(), pedalsKey);
    }
    EXPECT_TRUE(HidCtl->OfferDevices() == 1 && offered == std::vector<int32_t>{1})
        << "a gone entry must not be offered";
}

TEST_F(HidControllerTest, RemovedDeviceNotCheckedOutLeavesTheList) {
    auto keyboard = platform.PlugKeyboard();
    auto mouse = platform.PlugMouse();
    CreateController();
    poster.RunPending();
    std::string mouseKey = platform.InstanceKeyOf(*mouse);

    platform.Unplug(*keyboard);
    poster.RunPending();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(ListedInstances(), std::vector<std::string>{mouseKey});

    platform.NotifyUnrelatedChange();
    poster.RunPending();
    EXPECT_EQ(changes, 2) << "a destroyed entry is not removed again";
}

TEST_F(HidControllerTest, RemovalsRunFromTheLastEntryBack) {
    auto a = platform.PlugKeyboard();
    auto b = platform.PlugMouse();
    auto c = platform.PlugPedals();
    std::vector<std::string> keys = {platform.InstanceKeyOf(*a), platform.InstanceKeyOf(*b),
                                     platform.InstanceKeyOf(*c)};
    StartAndCheckOutAll();
    platform.Unplug(*a);
    platform.Unplug(*c);
    poster.RunPending();
    ASSERT_EQ(removals.size(), 4u) << "the second notification removes both again";
    EXPECT_EQ(removals, (std::vector<std::string>{keys[2], keys[0], keys[2], keys[0]}));
}

TEST_F(HidControllerTest, ReplugIsANewEntryAtTheEnd) {
    auto pedals = platform.PlugPedals();
    platform.PlugKeyboard();
    StartAndCheckOutAll();
    std::string firstKey = platform.InstanceKeyOf(*pedals);

    platform.Unplug(*pedals);
    platform.Plug(pedals);
    std::string secondKey = platform.InstanceKeyOf(*pedals);
    ASSERT_NE(firstKey, secondKey);
    poster.RunPending();   // two notifications: the second finds nothing new but the gone entry

    ASSERT_EQ(HidCtl->Count(), 3);
    EXPECT_EQ(HidCtl->At(0).PnPInfo().DeviceInstance, firstKey);
    EXPECT_FALSE(HidCtl->At(0).IsPluggedIn());
    EXPECT_EQ(HidCtl->At(2).PnPInfo().DeviceInstance, secondKey);
    EXPECT_TRUE(HidCtl->At(2).IsPluggedIn());
    EXPECT_EQ(arrivals.back(), secondKey);

    EXPECT_EQ(HidCtl->OfferDevices(), 2);
    EXPECT_EQ(offered, (std::vector<int32_t>{1, 2}));
}

// A platform that lists its first interface twice in every snapshot.
class TDoublingPlatform : public TSimulatedPlatform {
public:
    using TSimulatedPlatform::TSimulatedPlatform;
    bool EnumerateInterfaces(std::vector<THidInterface>& interfaces) override {
        const bool listed = TSimulatedPlatform::EnumerateInterfaces(interfaces);
        if (listed && !interfaces.empty())
            interfaces.push_back(interfaces.front());
        return listed;
    }
};

// Duplicates are looked for among the plugged-in entries of the list only: an interface listed
// twice in one snapshot arrives twice, and both entries are known from then on.
TEST_F(HidControllerTest, InterfaceListedTwiceInOneSnapshotArrivesTwiceThenStaysKnown) {
    test::TManualPoster localPoster;
    TDoublingPlatform doubling(localPoster);
    auto keyboard = doubling.PlugKeyboard();
    auto mouse = doubling.PlugMouse();
    const std::string keyboardKey = doubling.InstanceKeyOf(*keyboard);
    const std::string mouseKey = doubling.InstanceKeyOf(*mouse);
    THidDeviceController controller(doubling, localPoster);
    int localChanges = 0;
    controller.OnDeviceChange = [&](THidDeviceController&) { ++localChanges; };
    localPoster.RunPending();
    auto listed = [&controller] {
        std::vector<std::string> keys;
        for (int32_t i = 0; i < controller.Count(); ++i)
            keys.push_back(controller.At(i).PnPInfo().DeviceInstance);
        return keys;
    };
    EXPECT_EQ(listed(), (std::vector<std::string>{keyboardKey, mouseKey, keyboardKey}));

    doubling.NotifyUnrelatedChange();
    localPoster.RunPending();
    EXPECT_EQ(localChanges, 1) << "both copies are matched by the one present key";
    EXPECT_EQ(controller.Count(), 3);

    doubling.Unplug(*keyboard);
    localPoster.RunPending();
    EXPECT_EQ(localChanges, 2);
    EXPECT_EQ(listed(), std::vector<std::string>{mouseKey})
        << "both keyboard entries leave; both copies of the mouse in the snapshot are known";
}

// Kept, gone and new entries among many: the list keeps its order, removals run from the last
// entry back, arrivals are appended in the order of the snapshot.
TEST_F(HidControllerTest, ComparisonAmongManyInterfacesKeepsTheOrders) {
    std::vector<std::shared_ptr<TEmulatedHid>> devices;
    for (int i = 0; i < 40; ++i)
        devices.push_back(i % 2 ? platform.PlugMouse() : platform.PlugKeyboard());
    CreateController();
    poster.RunPending();
    std::vector<std::string> expectedList, expectedRemovals;
    for (int i = 39; i >= 0; --i)
        if (i % 7 == 3)
            expectedRemovals.push_back(platform.InstanceKeyOf(*devices[size_t(i)]));
    for (int i = 0; i < 40; ++i)
        if (i % 7 != 3)
            expectedList.push_back(platform.InstanceKeyOf(*devices[size_t(i)]));
    for (int i = 0; i < 40; ++i)
        if (i % 7 == 3)
            platform.Unplug(*devices[size_t(i)]);
    std::vector<std::string> expectedArrivals;
    for (int i = 0; i < 3; ++i) {
        devices.push_back(platform.PlugKeyboard());
        expectedArrivals.push_back(platform.InstanceKeyOf(*devices.back()));
    }
    expectedList.insert(expectedList.end(), expectedArrivals.begin(), expectedArrivals.end());
    arrivals.clear();

    HidCtl->DeviceChange();
    EXPECT_EQ(removals, expectedRemovals);
    EXPECT_EQ(arrivals, expectedArrivals);
    EXPECT_EQ(ListedInstances(), expectedList);
}

TEST_F(HidControllerTest, CheckOutAtOutOfRangeOrTwiceGivesNoDevice) {
    platform.PlugKeyboard();
    platform.PlugMouse();
    CreateController();
    poster.RunPending();
    ASSERT_EQ(HidCtl->CheckedInCount(), 2);

    THidDevice* dummy = &HidCtl->At(0);
    struct Case { const char* name; int32_t index; bool result; };
    const Case cases[] = {
        {"below the list", -1, false},
        {"at the count", 2, false},
        {"first check-out", 1, true},
        {"already checked out", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        THidDevice* out = dummy;
        EXPECT_EQ(HidCtl->CheckOutAt(c.index, out), c.result);
        EXPECT_EQ(out, c.result ? &HidCtl->At(c.index) : nullptr);
    }
    EXPECT_TRUE(HidCtl->At(1).IsCheckedOut());
    EXPECT_FALSE(HidCtl->At(0).IsCheckedOut());
    EXPECT_EQ(HidCtl->CheckedOutCount(), 1);
    EXPECT_EQ(HidCtl->CheckedInCount(), 1);
}

TEST_F(HidControllerTest, OfferDevicesStopsAtTheEntryThatSaysStop) {
    for (int i = 0; i < 3; ++i)
        platform.PlugKeyboard();
    CreateController();
    poster.RunPending();
    HidCtl->OnEnumerate = [this](THidDevice&, int32_t idx) {
        offered.push_back(idx);
        return idx != 1;
    };
    EXPECT_EQ(HidCtl->OfferDevices(), 2);
    EXPECT_EQ(offered, (std::vector<int32_t>{0, 1}));
}

TEST_F(HidControllerTest, FilesAreClosedAfterAnOfferAndAfterQueryCaps) {
    auto pedals = platform.PlugPedals();
    auto keyboard = platform.PlugKeyboard();
    CreateController();
    poster.RunPending();

    THidDevice* kept = nullptr;
    HidCtl->OnEnumerate = [&](THidDevice& d, int32_t idx) {
        if (d.VendorID() != TEmulatedPedals::PedalsVendorID) {
            EXPECT_TRUE(d.EnsureOpen()) << "a device is usable inside the handler";
        } else {
            HidCtl->CheckOutAt(idx, kept);
            THidCaps caps;
            kept->QueryCaps(caps);
            EXPECT_EQ(caps.FeatureReportByteLength, 17);
            EXPECT_FALSE(kept->HasOpenFile()) << "QueryCaps closes the file it opened";
        }
        return true;
    };
    HidCtl->OfferDevices();
    ASSERT_NE(kept, nullptr);
    EXPECT_FALSE(HidCtl->At(1).HasOpenFile()) << "offered and not checked out";
    EXPECT_FALSE(HidCtl->At(1).IsAccessible());
    EXPECT_FALSE(HidCtl->At(1).EnsureOpen());
    EXPECT_EQ(platform.OpenHandleCount(), 0);

    uint8_t report[17] = {};
    EXPECT_TRUE(kept->GetFeatureReport(report, sizeof report));
    EXPECT_TRUE(kept->HasOpenFile());
    EXPECT_TRUE(kept->SetFeatureReport(report, sizeof report));
    EXPECT_EQ(platform.OpenHandleCount(*pedals), 1) << "one file, kept open across transfers";
    kept->CloseHandles();
    EXPECT_EQ(platform.OpenHandleCount(), 0);
}

TEST_F(HidControllerTest, QueryCapsFetchesTheDescriptorOnce) {
    auto pedals = platform.PlugPedals();
    StartAndCheckOutAll();
    THidDevice& device = HidCtl->At(0);
    THidCaps caps;
    device.QueryCaps(caps);
    device.QueryCaps(caps);
    EXPECT_EQ(platform.PreparsedFetchCount(), 1);
    EXPECT_EQ(caps.FeatureReportByteLength, 17);
    EXPECT_EQ(caps.InputReportByteLength, 5);

    uint8_t report[17] = {};
    device.GetFeatureReport(report, sizeof report);
    device.QueryCaps(caps);
    EXPECT_TRUE(device.HasOpenFile()) << "QueryCaps closed a file it did not open";
}

TEST_F(HidControllerTest, QueryCapsOnADeviceThatCannotBeOpenedLeavesTheRecordZero) {
    auto pedals = platform.PlugPedals();
    StartAndCheckOutAll();
    pedals->openRefusal = TOpenRefusal::All;
    THidCaps caps;
    caps.FeatureReportByteLength = 99;
    caps.UsagePage = 7;
    HidCtl->At(0).QueryCaps(caps);
    EXPECT_EQ(caps.FeatureReportByteLength, 0);
    EXPECT_EQ(caps.UsagePage, 0);
    EXPECT_EQ(platform.PreparsedFetchCount(), 0);

    pedals->openRefusal = TOpenRefusal::None;
    HidCtl->At(0).QueryCaps(caps);
    EXPECT_EQ(caps.FeatureReportByteLength, 17) << "a failed query does not stop a later one";
}

TEST_F(HidControllerTest, FeatureOperationsFailWithoutAPlatformCallWhenTheDeviceCannotOpen) {
    auto pedals = platform.PlugPedals();
    StartAndCheckOutAll();
    THidDevice& device = HidCtl->At(0);
    pedals->openRefusal = TOpenRefusal::All;
    uint8_t report[17] = {0, 0xA5, 5, 0};
    EXPECT_FALSE(device.SetFeatureReport(report, sizeof report));
    EXPECT_FALSE(device.GetFeatureReport(report, sizeof report));
    EXPECT_EQ(platform.FeatureCallCount(), 0);
    EXPECT_TRUE(pedals->Log().empty());
}

TEST_F(HidControllerTest, QueryOnlyDeviceIsListedAndKeepsItsQueryOnlyHandle) {
    auto pedals = platform.PlugPedals();
    pedals->openRefusal = TOpenRefusal::ReadWrite;
    StartAndCheckOutAll();
    ASSERT_EQ(HidCtl->Count(), 1);
    THidDevice& device = HidCtl->At(0);
    EXPECT_FALSE(device.HasReadWriteAccess());
    EXPECT_EQ(device.VendorID(), TEmulatedPedals::PedalsVendorID);
    EXPECT_EQ(device.ProductID(), TEmulatedPedals::PedalsProductID);
    EXPECT_EQ(device.VersionNumber(), TEmulatedPedals::PedalsVersion);

    uint8_t report[17] = {};
    EXPECT_FALSE(device.GetFeatureReport(report, sizeof report));
    EXPECT_EQ(platform.FeatureCallCount(), 1) << "the platform decides for a query-only handle";
    EXPECT_TRUE(device.HasOpenFile());
}

TEST_F(HidControllerTest, InterfacesThatCannotBeOpenedOrIdentifiedYieldNoEntry) {
    auto refused = platform.PlugPedals(1);
    refused->openRefusal = TOpenRefusal::All;
    auto anonymous = platform.PlugKeyboard();
    anonymous->identifyFails = true;
    auto good = platform.PlugMouse();
    CreateController();
    poster.RunPending();
    EXPECT_EQ(ListedInstances(), std::vector<std::string>{platform.InstanceKeyOf(*good)});
    EXPECT_EQ(arrivals.size(), 1u);
    EXPECT_EQ(platform.OpenHandleCount(), 0) << "a failed identification left its file open";
}

TEST_F(HidControllerTest, DeviceConstructionReportsWhyItFailed) {
    auto pedals = platform.PlugPedals();
    std::string path = platform.PathOf(*pedals);
    struct Case { const char* name; TOpenRefusal refusal; bool identifyFails; const char* error; };
    const Case cases[] = {
        {"cannot open", TOpenRefusal::All, false, "Device cannot be opened"},
        {"cannot identify", TOpenRefusal::None, true, "Device cannot be identified"},
        {"query-only and unidentified", TOpenRefusal::ReadWrite, true, "Device cannot be identified"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pedals->openRefusal = c.refusal;
        pedals->identifyFails = c.identifyFails;
        try {
            THidDevice device(nullptr, platform, THidPnPInfo("key", path), nullptr);
            ADD_FAILURE() << "no error raised";
        } catch (const EControllerError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
        EXPECT_EQ(platform.OpenHandleCount(), 0);
    }
}

TEST_F(HidControllerTest, EnsureOpenPushesAndReadsBackTheInputBufferCount) {
    platform.PlugPedals();
    StartAndCheckOutAll();
    THidDevice& device = HidCtl->At(0);
    struct Case { int32_t wanted; int32_t readBack; };
    for (Case c : {Case{0, 32}, Case{64, 64}, Case{1, 32}}) {
        SCOPED_TRACE(c.wanted);
        device.CloseHandles();
        EXPECT_EQ(device.NumInputBuffers, 0);
        device.NumInputBuffers = c.wanted;
        ASSERT_TRUE(device.EnsureOpen());
        EXPECT_EQ(device.NumInputBuffers, c.readBack);
    }
}

TEST_F(HidControllerTest, NotificationDuringAComparisonIsDropped) {
    platform.PlugPedals();
    CreateController();
    std::shared_ptr<TEmulatedHid> keyboard;
    HidCtl->OnDeviceChange = [](THidDeviceController& sender) { sender.OfferDevices(); };
    HidCtl->OnEnumerate = [&](THidDevice&, int32_t) {
        if (!keyboard) {
            keyboard = platform.PlugKeyboard();
            int enumerations = platform.EnumerationCount();
            EXPECT_EQ(poster.RunPending(), 1) << "the notification was not posted";   // nested loop
            EXPECT_EQ(platform.EnumerationCount(), enumerations) << "comparisons nested";
        }
        return true;
    };
    poster.RunPending();
    ASSERT_TRUE(keyboard);
    EXPECT_EQ(HidCtl->Count(), 1) << "the keyboard's notification was lost inside the comparison";
    EXPECT_FALSE(HidCtl->InChange());

    platform.NotifyUnrelatedChange();
    poster.RunPending();
    EXPECT_EQ(HidCtl->Count(), 2) << "the next notification makes the lost one good";
}

TEST_F(HidControllerTest, HandlerThatThrowsDoesNotBlockLaterNotifications) {
    platform.PlugPedals();
    CreateController();
    HidCtl->OnDeviceChange = [](THidDeviceController&) { throw std::runtime_error("boom"); };
    EXPECT_THROW(poster.RunPending(), std::runtime_error);
    EXPECT_FALSE(HidCtl->InChange());
    HidCtl->OnDeviceChange = [this](THidDeviceController&) { ++changes; };
    platform.PlugKeyboard();
    poster.RunPending();
    EXPECT_EQ(changes, 1);
}

TEST_F(HidControllerTest, FailedSnapshotTreatsEveryEntryAsRemoved) {
    platform.PlugPedals();
    platform.PlugKeyboard();
    StartAndCheckOutAll();
    platform.enumerationFails = true;
    platform.NotifyUnrelatedChange();
    poster.RunPending();
    EXPECT_EQ(removals.size(), 2u);
    EXPECT_EQ(HidCtl->UnpluggedCount(), 2);
    platform.enumerationFails = false;
    platform.NotifyUnrelatedChange();
    poster.RunPending();
    EXPECT_EQ(HidCtl->Count(), 4) << "both come back as new entries";
}

TEST_F(HidControllerTest, UnplugClosesTheFileAndCallsTheUnplugHandlerOnce) {
    auto pedals = platform.PlugPedals();
    CreateController();
    int unplugs = 0;
    HidCtl->OnDeviceUnplug = [&](THidDevice& d) {
        EXPECT_FALSE(d.IsPluggedIn());
        ++unplugs;
    };
    poster.RunPending();
    HidCtl->OfferDevices();
    uint8_t report[17] = {};
    HidCtl->At(0).GetFeatureReport(report, sizeof report);
    ASSERT_EQ(platform.OpenHandleCount(), 1);

    platform.Unplug(*pedals);
    poster.RunPending();
    platform.NotifyUnrelatedChange();
    poster.RunPending();
    EXPECT_EQ(unplugs, 1);
    EXPECT_EQ(platform.OpenHandleCount(), 0);
    EXPECT_FALSE(HidCtl->At(0).GetFeatureReport(report, sizeof report));
}

TEST_F(HidControllerTest, DestructionUnplugsCheckedOutEntriesAndIgnoresLaterWork) {
    auto pedals = platform.PlugPedals();
    platform.PlugKeyboard();
    CreateController();
    int unplugs = 0;
    HidCtl->OnDeviceUnplug = [&](THidDevice&) { ++unplugs; };
    poster.RunPending();
    THidDevice* out = nullptr;
    HidCtl->CheckOutAt(0, out);
    uint8_t report[17] = {};
    out->GetFeatureReport(report, sizeof report);

    platform.PlugMouse();   // its notification is still queued when the controller goes
    HidCtl.reset();
    EXPECT_EQ(unplugs, 1) << "only the checked-out entry is unplugged";
    EXPECT_EQ(platform.OpenHandleCount(), 0);
    int enumerations = platform.EnumerationCount();
    poster.RunPending();
    platform.NotifyUnrelatedChange();
    poster.RunPending();
    EXPECT_EQ(platform.EnumerationCount(), enumerations);
}

TEST_F(HidControllerTest, StartUpAnnouncementAfterDestructionDoesNothing) {
    platform.PlugPedals();
    CreateController();
    HidCtl.reset();
    poster.RunPending();
    EXPECT_EQ(platform.EnumerationCount(), 0);
    EXPECT_EQ(changes, 0);
}

} // namespace
} // namespace qzr
