#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "tests/records/RecordsFixture.h"

namespace qzr {
namespace {

using test::Bytes;

// Structure bytes 1 to 16 of an NStruct, by name.
struct Structure {
    uint8_t len = 0, type = 0, confUsage = 0, usage = 0, precision = 0, filter = 0, aux = 0;
    uint8_t zic = 0, deadLow = 0, deadHigh = 0;
    uint16_t kdHigh = 0, kdLow = 0, bias = 0;
    Bytes bytes() const {
        return {len, type, confUsage, usage, precision, filter, aux, zic, deadLow, deadHigh,
                uint8_t(kdHigh), uint8_t(kdHigh >> 8), uint8_t(kdLow), uint8_t(kdLow >> 8),
                uint8_t(bias), uint8_t(bias >> 8)};
    }
};

class AxisRecordsTest : public test::RecordsFixture {
protected:
    void Read(uint8_t id, const Structure& s) {
        Answer(s.bytes());
        axes.ReadAxis(id);
    }
    std::vector<int64_t> AxesInOrder() {
        std::vector<int64_t> ns;
        for (int row = 0; row < axes.cdsNStruct.RecordCount(); ++row)
            ns.push_back(std::stoll(axes.N.DisplayTextAt(row)));
        return ns;
    }
};

TEST_F(AxisRecordsTest, EachAxisGetsOneRecordInTheOrderFirstRead) {
    Read(stAxisLeftBrake, {});
    EXPECT_EQ(AxesInOrder(), (std::vector<int64_t>{1}));
    Read(stAxisRudder, {});
    Read(stAxisRightBrake, {});
    EXPECT_EQ(AxesInOrder(), (std::vector<int64_t>{1, 0, 2}));
    Structure again;
    again.zic = 7;
    Read(stAxisLeftBrake, again);
    EXPECT_EQ(AxesInOrder(), (std::vector<int64_t>{1, 0, 2}));
    EXPECT_EQ(axes.cdsNStruct.RecNo(), 0);
    EXPECT_EQ(axes.Zic.AsInteger(), 7);
    EXPECT_EQ(axes.cdsNStruct.State(), TDataSetState::Browse);
    Read(0x33, {});   // any other id files the structure under the rudder
    EXPECT_EQ(AxesInOrder(), (std::vector<int64_t>{1, 0, 2}));
    EXPECT_EQ(axes.N.AsInteger(), 0);
}

TEST_F(AxisRecordsTest, ReadDecodesFlagsCodesAndNames) {
    Structure s;
    s.confUsage = 0x62;
    s.usage = 0xBA;
    s.precision = 0x2A;
    s.filter = 0xE5;   // MF, DF, degree 4, CenterOk, bit 0
    s.aux = 0xFD;      // AxisMap, Centr and undecoded high bits
    Read(stAxisRudder, s);
    EXPECT_TRUE(axes.ConfUsage_ON.AsBoolean());
    EXPECT_TRUE(axes.ConfUsage_Inverted.AsBoolean());
    EXPECT_FALSE(axes.ConfUsage_7.AsBoolean());
    EXPECT_FALSE(axes.ConfUsage_Centered.AsBoolean());
    EXPECT_FALSE(axes.ConfUsage_Revers.AsBoolean());
    EXPECT_EQ(axes.ConfUsage_HIDUsagePage.AsInteger(), 2);
    EXPECT_EQ(axes.ConfUsage_HIDUsagePageCalc.AsString(), "Simulation Controls");
    EXPECT_EQ(axes.HID_UsageCalc.AsString(), "Rudder");
    EXPECT_EQ(axes.ConfUsage.AsInteger(), 0x62);
    EXPECT_EQ(axes.Precision_Data.AsInteger(), 1);
    EXPECT_EQ(axes.Precision_Axis.AsInteger(), 10);
    EXPECT_EQ(axes.Precision_AxisCalc.AsInteger(), 1024);
    EXPECT_TRUE(axes.CentCalibFiltr_MF.AsBoolean());
    EXPECT_TRUE(axes.CentCalibFiltr_DF.AsBoolean());
    EXPECT_TRUE(axes.CentCalibFiltr_CenterOk.AsBoolean());
    EXPECT_EQ(axes.CentCalibFiltr_Filter.AsInteger(), 4);
    EXPECT_EQ(axes.CentCalibFiltr.AsInteger(), 0xE5);
    EXPECT_TRUE(axes.AUX_AxisMap.AsBoolean());
    EXPECT_FALSE(axes.AUX_LedOn.AsBoolean());
    EXPECT_TRUE(axes.AUX_Centr.AsBoolean());
    EXPECT_EQ(axes.AUX.AsInteger(), 0xFD);
}

TEST_F(AxisRecordsTest, AnUnnamedUsagePageClearsItsBitsButKeepsTheCode) {
    Structure s;
    s.confUsage = 0x43;
    Read(stAxisRudder, s);
    EXPECT_EQ(axes.ConfUsage_HIDUsagePage.AsInteger(), 3);
    EXPECT_EQ(axes.ConfUsage_HIDUsagePageCalc.AsString(), "??? 20:3");
    EXPECT_TRUE(axes.ConfUsage_ON.AsBoolean());
    EXPECT_EQ(axes.ConfUsage.AsInteger(), 0x40);
}

TEST_F(AxisRecordsTest, AnAllZeroStructureGivesPlaceholdersAndZeroes) {
    Read(stAxisRudder, {});
    EXPECT_EQ(axes.ConfUsage_HIDUsagePageCalc.AsString(), "??? 20:0");
    EXPECT_EQ(axes.HID_UsageCalc.AsString(), "??? 30:0");
    EXPECT_EQ(axes.Precision_AxisCalc.AsInteger(), 1);
    for (TField* f : {&axes.ZicCalcPerc, &axes.DeadZoneLowCalcPerc, &axes.DeadZoneHighCalcPerc})
        EXPECT_EQ(f->AsFloat(), 0.0) << f->FieldName();
    for (TField* f : {&axes.ZicCalc, &axes.DeadZoneLowCalc, &axes.DeadZoneHighCalc})
        EXPECT_EQ(f->AsInteger(), 0) << f->FieldName();
    for (TField* f : {&axes.ConfUsage_7, &axes.ConfUsage_ON, &axes.CentCalibFiltr_MF, &axes.AUX_LedOn})
        EXPECT_FALSE(f->AsBoolean()) << f->FieldName();
}

struct ZoneCase {
    uint8_t precisionAxis;
    uint16_t zone;
    double percent;
    int64_t units;
};

TEST_F(AxisRecordsTest, ZonesGivePercentAndUnitsRoundedHalfToEven) {
    const ZoneCase cases[] = {
        {10, 5, 0.5, 5},        // 5.12
        {12, 25, 2.5, 102},     // 102.4
        {12, 255, 25.5, 1044},  // 1044.48
        {1, 250, 25.0, 0},      // 0.5
        {2, 125, 12.5, 0},      // 0.5
        {1, 3, 0.3, 0},
    };
    // Zones of 1500 and 2500 no longer fit a zone byte; the rounding still takes halves to even.
    EXPECT_EQ(ZoneUnits(1, 50.0), 0);
    EXPECT_EQ(ZoneUnits(1, 150.0), 2);
    EXPECT_EQ(ZoneUnits(1, 250.0), 2);
    for (const ZoneCase& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.precisionAxis) << " bits, zone " << c.zone);
        Structure s;
        s.precision = c.precisionAxis;
        Read(stAxisRudder, s);
        axes.cdsNStruct.StartEdit();
        for (auto [zone, percent, units] : {std::tuple{&axes.Zic, &axes.ZicCalcPerc, &axes.ZicCalc},
                                            {&axes.DeadZoneLow, &axes.DeadZoneLowCalcPerc, &axes.DeadZoneLowCalc},
                                            {&axes.DeadZoneHigh, &axes.DeadZoneHighCalcPerc, &axes.DeadZoneHighCalc}}) {
            zone->SetInteger(c.zone);
            EXPECT_EQ(percent->AsFloat(), c.percent) << zone->FieldName();
            EXPECT_EQ(units->AsInteger(), c.units) << zone->FieldName();
        }
    }
}

TEST_F(AxisRecordsTest, ResolutionChangeLeavesUnitValuesUntilTheirZoneIsAssigned) {
    Structure s;
    s.precision = 0xEA;   // data 7, axis 10
    s.zic = 5;
    s.deadLow = 25;
    Read(stAxisRudder, s);
    axes.cdsNStruct.StartEdit();
    axes.Precision_Axis.SetInteger(12);
    EXPECT_EQ(axes.Precision.AsInteger(), 0xEC);
    EXPECT_EQ(axes.Precision_AxisCalc.AsInteger(), 4096);
    EXPECT_EQ(axes.ZicCalc.AsInteger(), 5);
    EXPECT_EQ(axes.DeadZoneLowCalc.AsInteger(), 26);   // 25.6 with 1024 units
    axes.DeadZoneLow.SetInteger(25);
    EXPECT_EQ(axes.DeadZoneLowCalc.AsInteger(), 102);

    axes.Precision_Axis.SetInteger(8);
    EXPECT_EQ(axes.Precision.AsInteger(), 0xE8);
    EXPECT_EQ(axes.Precision_AxisCalc.AsInteger(), 256);
    EXPECT_THROW(axes.Precision_Axis.SetInteger(40), ERecordSetError) << "five bits hold 0 to 31";
    EXPECT_EQ(axes.Precision.AsInteger(), 0xE8);
    EXPECT_EQ(axes.Precision_AxisCalc.AsInteger(), 256);
    axes.Precision_Axis.SetInteger(31);
    EXPECT_EQ(axes.Precision_AxisCalc.AsInteger(), INT32_MIN);
}

TEST_F(AxisRecordsTest, ExtremeResolutionsStillDecodeTheWholeStructure) {
    // 18 bits with a zone of 255, or 31 bits, give unit values beyond a word: the read must
    // still assign every field and post, or a later save would send bytes never read.
    for (uint8_t precision : {18, 30, 31}) {
        SCOPED_TRACE(int(precision));
        Structure s;
        s.precision = precision;
        s.zic = s.deadLow = s.deadHigh = 255;
        s.bias = 0xBEEF;
        Read(stAxisRudder, s);
        EXPECT_EQ(axes.cdsNStruct.State(), TDataSetState::Browse);
        EXPECT_EQ(axes.Bias.AsInteger(), 0xBEEF);
        const int32_t units = precision == 31 ? INT32_MIN : int32_t(1) << precision;
        EXPECT_EQ(axes.DeadZoneHighCalc.AsInteger(), ZoneUnits(units, 25.5));
    }
    EXPECT_EQ(axes.DeadZoneHighCalc.AsInteger(), -547608330);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AxisRecordsTest, FilterDegreeRewritesItsBitsAndTheMajorityBit) {
    Structure s;
    s.filter = 0x80;
    Read(stAxisRudder, s);
    axes.cdsNStruct.StartEdit();
    axes.CentCalibFiltr_Filter.SetInteger(3);
    EXPECT_EQ(axes.CentCalibFiltr.AsInteger(), 0x98);

    axes.CentCalibFiltr_MF.SetBoolean(false);
    axes.CentCalibFiltr.SetInteger(0x80);   // typed directly: the flag stays false
    axes.CentCalibFiltr_Filter.SetInteger(3);
    EXPECT_EQ(axes.CentCalibFiltr.AsInteger(), 0x18);

    EXPECT_THROW(axes.CentCalibFiltr_Filter.SetInteger(8), ERecordSetError) << "three bits hold 0 to 7";
    EXPECT_EQ(axes.CentCalibFiltr.AsInteger(), 0x18);
    EXPECT_EQ(axes.CentCalibFiltr_Filter.AsInteger(), 3);
}

TEST_F(AxisRecordsTest, FlagAndPageEditsKeepTheirBytesInStep) {
    Read(stAxisRudder, {});
    axes.cdsNStruct.StartEdit();
    const std::tuple<TField*, TField*, int> flags[] = {
        {&axes.ConfUsage_7, &axes.ConfUsage, 7}, {&axes.ConfUsage_ON, &axes.ConfUsage, 6},
        {&axes.ConfUsage_Inverted, &axes.ConfUsage, 5}, {&axes.ConfUsage_Centered, &axes.ConfUsage, 4},
        {&axes.ConfUsage_Revers, &axes.ConfUsage, 3}, {&axes.CentCalibFiltr_MF, &axes.CentCalibFiltr, 7},
        {&axes.CentCalibFiltr_DF, &axes.CentCalibFiltr, 6}, {&axes.AUX_AxisMap, &axes.AUX, 2},
        {&axes.AUX_LedOn, &axes.AUX, 1}, {&axes.AUX_Centr, &axes.AUX, 0},
    };
    for (auto [flag, byte, bit] : flags) {
        SCOPED_TRACE(flag->FieldName());
        flag->SetBoolean(true);
        EXPECT_EQ(byte->AsInteger(), 1 << bit);
        flag->SetBoolean(false);
        EXPECT_EQ(byte->AsInteger(), 0);
    }
    for (auto [page, bits] : {std::pair{1, 0x01}, {2, 0x02}, {5, 0x00}, {0, 0x00}}) {
        axes.ConfUsage.SetInteger(0xF8 | 0x07);
        axes.ConfUsage_HIDUsagePage.SetInteger(page);
        EXPECT_EQ(axes.ConfUsage.AsInteger(), 0xF8 | bits) << page;
    }
}

TEST_F(AxisRecordsTest, WriteSendsTheAxisStructureToItsId) {
    Structure s{0x10, 0x02, 0x62, 0xBA, 0x2C, 0x98, 0x02, 30, 15, 20, 0x1234, 0x5678, 0x9ABC};
    Read(stAxisRudder, s);
    const std::pair<uint8_t, uint8_t> axisToId[] = {{1, 17}, {2, 18}, {0, 16}, {7, 16}};
    for (auto [axis, id] : axisToId) {
        SCOPED_TRACE(int(axis));
        device.sent.clear();
        axes.WriteAxis(axis);
        ASSERT_EQ(device.sent.size(), 3u);
        EXPECT_EQ(device.sent[0].bytes[2], cmdSelectWrite);
        EXPECT_EQ(device.sent[0].bytes[3], id);
        Bytes expected{0x00};
        for (uint8_t b : s.bytes()) expected.push_back(b);
        EXPECT_EQ(WrittenStructure(), expected);
        EXPECT_EQ(device.sent[2].bytes[2], cmdReboot);
    }
}

TEST_F(AxisRecordsTest, ReadThenWriteReturnsEveryByteButUnnamedPageBits) {
    std::mt19937 random(20261210);
    for (int round = 0; round < 300; ++round) {
        Bytes structure(16);
        for (uint8_t& b : structure) b = uint8_t(random());
        Answer(structure);
        axes.ReadAxis(stAxisRightBrake);
        device.sent.clear();
        axes.WriteAxis(2);
        Bytes expected{0x00};
        expected.insert(expected.end(), structure.begin(), structure.end());
        if ((expected[3] & 7) > 2) expected[3] &= 0xF8;
        ASSERT_EQ(WrittenStructure(), expected) << "round " << round;
    }
}

TEST_F(AxisRecordsTest, WithoutPedalsReadSaysSoAndWriteIsSilent) {
    state.device = nullptr;
    axes.ReadAxis(stAxisLeftBrake);
    EXPECT_EQ(messages.shown, std::vector<std::string>{MsgControllerNotFound});
    axes.WriteAxis(1);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(axes.cdsNStruct.RecordCount(), 0);

    Connect(0);
    axes.ReadAxis(stAxisLeftBrake);
    axes.WriteAxis(1);
    EXPECT_EQ(messages.shown, (std::vector<std::string>{MsgControllerNotFound, MsgFeatureReportsNotSupported,
                                                        MsgFeatureReportsNotSupported}));
    EXPECT_EQ(axes.cdsNStruct.RecordCount(), 0);
    EXPECT_TRUE(device.sent.empty());
}

TEST_F(AxisRecordsTest, AZoneTypedOutOfRangeIsRefusedWithItsText) {
    Read(stAxisRudder, Structure{.precision = 10, .zic = 5});
    axes.cdsNStruct.StartEdit();
    try {
        axes.Zic.SetText("65536");
        FAIL() << "no error";
    } catch (const ERecordSetError& e) {
        EXPECT_STREQ(e.what(), "65536 is not a valid value for field 'Zic'. The allowed range is 0 to 255");
    }
    EXPECT_EQ(axes.Zic.AsInteger(), 5);
    EXPECT_EQ(axes.ZicCalc.AsInteger(), 5);
}

} // namespace
} // namespace qzr
