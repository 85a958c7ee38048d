// Values taken out of input reports, the live axes that keep them, and the reader that feeds
// them from a platform's input handle.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include "hid/HidInputReader.h"
#include "hid/LiveAxes.h"
#include "hid/linux/HidrawDevice.h"
#include "hid/sim/SimulatedPlatform.h"
#include "tests/support/FakeServices.h"

namespace qzr {
namespace {

THidInputField Field(uint32_t offset, uint32_t size, int64_t min, int64_t max, uint8_t id = 0) {
    THidInputField field;
    field.usagePage = GenericDesktopPage;
    field.usage = 0x30;
    field.reportId = id;
    field.bitOffset = offset;
    field.bitSize = size;
    field.logicalMin = min;
    field.logicalMax = max;
    field.isSigned = min < 0;
    return field;
}

struct TExtractCase {
    const char* name;
    THidInputField field;
    bool usesReportIds;
    std::vector<uint8_t> report;
    bool extracted;
    int64_t value;
};

TEST(ExtractInputValueTest, Table) {
    const std::vector<TExtractCase> cases = {
        {"whole byte", Field(8, 8, 0, 255), false, {0x11, 0xA7}, true, 0xA7},
        {"low nibble", Field(0, 4, 0, 15), false, {0xA7}, true, 0x7},
        {"high nibble", Field(4, 4, 0, 15), false, {0xA7}, true, 0xA},
        {"12 bits from bit 0", Field(0, 12, 0, 4095), false, {0x34, 0xF2, 0xFF}, true, 0x234},
        {"10 bits across two bytes", Field(12, 10, 0, 1023), false, {0x00, 0x50, 0x3A}, true, 0x3A5},
        {"10 bits across three bytes", Field(6, 10, 0, 1023), false, {0xC0, 0xFF, 0x00}, true, 0x3FF},
        {"32 bits not aligned", Field(4, 32, 0, 0xFFFFFFFF), false, {0x10, 0x32, 0x54, 0x76, 0x08}, true, 0x87654321},
        {"signed byte, negative", Field(0, 8, -127, 127), false, {0x81}, true, -127},
        {"signed byte, positive", Field(0, 8, -127, 127), false, {0x7F}, true, 127},
        {"signed 12 bits across bytes", Field(4, 12, -2047, 2047), false, {0x10, 0x80}, true, -2047},
        {"signed 16 bits", Field(0, 16, -32768, 32767), false, {0x00, 0x80}, true, -32768},
        {"after the report id byte", Field(0, 8, 0, 255, 2), true, {0x02, 0x5A}, true, 0x5A},
        {"report one bit short", Field(4, 8, 0, 255), false, {0xFF}, false, 0},
        {"empty report", Field(0, 1, 0, 1), false, {}, false, 0},
        {"wider than 32 bits", Field(0, 40, 0, 1), false, {1, 2, 3, 4, 5}, false, 0},
    };
    for (const TExtractCase& c : cases) {
        SCOPED_TRACE(c.name);
        int64_t value = 0;
        EXPECT_EQ(ExtractInputValue(c.field, c.report.data(), c.report.size(), c.usesReportIds, value), c.extracted);
        if (c.extracted) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(AxisNamesTest, CommonNamesAndHexForTheRest) {
    EXPECT_EQ(StandardAxisName(GenericDesktopPage, 0x30), "X");
    EXPECT_EQ(StandardAxisName(GenericDesktopPage, 0x35), "Rz");
    EXPECT_EQ(StandardAxisName(SimulationControlsPage, 0xBA), "Rudder");
    EXPECT_EQ(StandardAxisName(SimulationControlsPage, 0xC5), "Brake");
    EXPECT_EQ(StandardAxisName(0xFF00, 0x01), "FF00:01");
    EXPECT_TRUE(IsAxisUsage(GenericDesktopPage, 0x38));
    EXPECT_FALSE(IsAxisUsage(GenericDesktopPage, 0x39));   // hat switch
    EXPECT_FALSE(IsAxisUsage(0x09, 0x01));                 // a button
}

THidDescriptorResult PedalsDescriptor() {
    return ParseReportDescriptor(sim::TEmulatedPedals().ReportDescriptor());
}

TEST(LiveAxesTest, TakesThePedalsReports) {
    TLiveAxes axes;
    axes.Reset(PedalsDescriptor());
    ASSERT_EQ(axes.Axes().size(), 3u);
    for (const TLiveAxis& axis : axes.Axes()) EXPECT_FALSE(axis.received);

    EXPECT_TRUE(axes.Feed(sim::TEmulatedPedals::AxesReport(2048, 0, 1023).data(), 4));
    EXPECT_EQ(axes.Find(SimulationControlsPage, 0xBA)->value, 2048);
    EXPECT_EQ(axes.Find(GenericDesktopPage, 0x33)->value, 0);
    EXPECT_EQ(axes.Find(GenericDesktopPage, 0x34)->value, 1023);
    EXPECT_DOUBLE_EQ(axes.Find(GenericDesktopPage, 0x34)->Position(), 1.0);
    EXPECT_FALSE(axes.Feed(sim::TEmulatedPedals::AxesReport(2048, 0, 1023).data(), 4)) << "nothing changed";
    EXPECT_EQ(axes.ReportsTaken(), 2u);
}

TEST(LiveAxesTest, ShortAndForeignReportsCostNothingButTheirValues) {
    TLiveAxes axes;
    axes.Reset(PedalsDescriptor());
    axes.Feed(sim::TEmulatedPedals::AxesReport(100, 200, 300).data(), 4);
    const std::vector<uint8_t> report = sim::TEmulatedPedals::AxesReport(4000, 1000, 1000);
    EXPECT_FALSE(axes.Feed(report.data(), 3));
    EXPECT_FALSE(axes.Feed(report.data(), 0));
    EXPECT_FALSE(axes.Feed(nullptr, 4));
    EXPECT_EQ(axes.ReportsIgnored(), 3u);
    EXPECT_EQ(axes.Find(SimulationControlsPage, 0xBA)->value, 100);
    EXPECT_EQ(axes.Find(GenericDesktopPage, 0x34)->value, 300);
}

TEST(LiveAxesTest, AValueOutsideItsRangeIsNoValueOnlyWithANullState) {
    // X, Y: one byte each, 0..100, with a null state (flags 0x42) and without (0x02).
    for (const uint8_t flags : {uint8_t(0x42), uint8_t(0x02)}) {
        const bool nullState = flags == 0x42;
        SCOPED_TRACE(nullState ? "null state" : "no null state");
        const THidDescriptorResult parsed = ParseReportDescriptor(
            {0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x25, 0x64, 0x75, 0x08, 0x95, 0x02, 0x81, flags});
        ASSERT_EQ(parsed.inputFields.size(), 2u);
        EXPECT_EQ(parsed.inputFields[0].hasNullState, nullState);
        TLiveAxes axes;
        axes.Reset(parsed);
        const uint8_t first[] = {10, 20};
        const uint8_t outOfRange[] = {0xFF, 30};
        axes.Feed(first, 2);
        EXPECT_TRUE(axes.Feed(outOfRange, 2));
        EXPECT_EQ(axes.Find(GenericDesktopPage, 0x30)->value, nullState ? 10 : 255);
        EXPECT_EQ(axes.Find(GenericDesktopPage, 0x31)->value, 30);
    }
}

TEST(LiveAxesTest, NumberedReportsGoToTheirOwnAxes) {
    // Report 1: X; report 2: Y; both signed bytes.
    const THidDescriptorResult parsed = ParseReportDescriptor(
        {0x05, 0x01, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x01, 0x85, 0x01, 0x09, 0x30, 0x81, 0x02,
         0x85, 0x02, 0x09, 0x31, 0x81, 0x02});
    TLiveAxes axes;
    axes.Reset(parsed);
    const uint8_t toY[] = {0x02, 0xF6};
    const uint8_t unknownId[] = {0x07, 0x01};
    const uint8_t idOnly[] = {0x01};
    EXPECT_TRUE(axes.Feed(toY, 2));
    EXPECT_FALSE(axes.Feed(unknownId, 2));
    EXPECT_FALSE(axes.Feed(idOnly, 1));
    EXPECT_FALSE(axes.Find(GenericDesktopPage, 0x30)->received);
    EXPECT_EQ(axes.Find(GenericDesktopPage, 0x31)->value, -10);
    EXPECT_DOUBLE_EQ(axes.Find(GenericDesktopPage, 0x31)->Position(), 117.0 / 254.0);
}

struct TReaderOnVirtualPedals : ::testing::Test {
    test::TManualPoster poster;
    sim::TSimulatedPlatform platform{poster};
    std::shared_ptr<sim::TEmulatedPedals> pedals = platform.PlugPedals();
    THidInputReader reader{platform};
};

TEST_F(TReaderOnVirtualPedals, DrainsEveryPendingReportOnItsOwnHandle) {
    ASSERT_TRUE(reader.Open(platform.PathOf(*pedals)));
    EXPECT_EQ(platform.OpenHandleCount(*pedals), 0) << "the feature file stays closed";
    EXPECT_EQ(reader.Drain().reports, 0);
    pedals->SetAxes(1, 2, 3);
    pedals->SendInputReport({0x01});   // short
    pedals->SetAxes(4095, 512, 7);
    const THidInputReader::TDrainResult drained = reader.Drain();
    EXPECT_EQ(drained.reports, 3);
    EXPECT_TRUE(drained.changed);
    EXPECT_FALSE(drained.gone);
    EXPECT_EQ(reader.Axes().Find(SimulationControlsPage, 0xBA)->value, 4095);
    EXPECT_EQ(reader.Axes().Find(GenericDesktopPage, 0x33)->value, 512);
    EXPECT_EQ(reader.Axes().ReportsIgnored(), 1u);
}

TEST_F(TReaderOnVirtualPedals, ADeviceThatVanishesClosesTheReader) {
    ASSERT_TRUE(reader.Open(platform.PathOf(*pedals)));
    pedals->SetAxes(10, 20, 30);
    platform.Unplug(*pedals);
    const THidInputReader::TDrainResult drained = reader.Drain();
    EXPECT_TRUE(drained.gone);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(platform.InputOpenCount(), 0);
    EXPECT_EQ(reader.Axes().Find(SimulationControlsPage, 0xBA)->value, 10) << "values read before stay";
}

TEST_F(TReaderOnVirtualPedals, NoDeviceNoReader) {
    EXPECT_FALSE(reader.Open("/sim/none"));
    EXPECT_EQ(reader.Fd(), -1);
    EXPECT_EQ(reader.Drain().reports, 0);
}

TEST(HidrawInputTest, ReadsOneReportAtATimeAndTellsEmptyFromGone) {
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK, 0, ends), 0);
    uint8_t buffer[16];
    EXPECT_EQ(hidraw::ReadInputReport(ends[0], buffer, sizeof buffer), 0);
    const uint8_t report[] = {1, 2, 3};
    ASSERT_EQ(::send(ends[1], report, sizeof report, 0), 3);
    ASSERT_EQ(::send(ends[1], report, 2, 0), 2);
    EXPECT_EQ(hidraw::ReadInputReport(ends[0], buffer, sizeof buffer), 3);
    EXPECT_EQ(hidraw::ReadInputReport(ends[0], buffer, sizeof buffer), 2);
    EXPECT_EQ(hidraw::ReadInputReport(ends[0], buffer, sizeof buffer), 0);
    ::close(ends[1]);
    EXPECT_EQ(hidraw::ReadInputReport(-1, buffer, sizeof buffer), -1);
    ::close(ends[0]);
    EXPECT_EQ(hidraw::ReadInputReport(ends[0], buffer, sizeof buffer), -1) << "closed descriptor";
}

} // namespace
} // namespace qzr
