#include <gtest/gtest.h>

#include "records/qzrUtils.h"
#include "tests/records/RecordsFixture.h"

namespace qzr {
namespace {

using test::Bytes;

class GlobalRecordTest : public test::RecordsFixture {
protected:
    void ReadWithDevConf(uint8_t devConf) {
        Bytes structure(16, 0);
        structure[15] = devConf;
        Answer(structure);
        global.ReadGlobal();
    }
    // Bits 0, 3 to 7 equal their flags; bits 1 and 2 carry the mode when it is 0 to 2.
    void ExpectDevConfMatchesFlagsAndMode() {
        const auto d = global.DevConf.AsInteger();
        EXPECT_EQ(bool(d & 0x01), global.DevConf_AxesAuto.AsBoolean());
        EXPECT_EQ(bool(d & 0x08), global.DevConf_MF.AsBoolean());
        EXPECT_EQ(bool(d & 0x10), global.DevConf_DF.AsBoolean());
        EXPECT_EQ(bool(d & 0x20), global.DevConf_5.AsBoolean());
        EXPECT_EQ(bool(d & 0x40), global.DevConf_6.AsBoolean());
        EXPECT_EQ(bool(d & 0x80), global.DevConf_7.AsBoolean());
        const auto mode = global.DevConf_CalibrMode.AsInteger();
        EXPECT_EQ((d >> 1) & 3, mode <= 2 ? mode : 0);
    }
};

TEST_F(GlobalRecordTest, ReadDecodesEveryByteOfTheStructure) {
    Answer({0xCD, 0xAB, 0x10, 0x07, 0x34, 0x12, 0x78, 0x56, 0xBC, 0x9A, 0xF0, 0xDE, 0x03, 0x04, 0x05, 0x00});
    global.ReadGlobal();
    EXPECT_EQ(global.CRC.AsInteger(), 0xABCD);
    EXPECT_EQ(global.Len.AsInteger(), 0x10);
    EXPECT_EQ(global.DevID.AsInteger(), 0x07);
    EXPECT_EQ(global.UID_SerN.AsInteger(), 0x1234);
    EXPECT_EQ(global.UID_3.AsInteger(), 0x5678);
    EXPECT_EQ(global.UID_5.AsInteger(), 0x9ABC);
    EXPECT_EQ(global.UID_7.AsInteger(), 0xDEF0);
    EXPECT_EQ(global.NStruct.AsInteger(), 3);
    EXPECT_EQ(global.Power.AsInteger(), 4);
    EXPECT_EQ(global.AUX.AsInteger(), 5);
    EXPECT_EQ(global.cdsGlobal.State(), TDataSetState::Browse);
    EXPECT_EQ(global.cdsGlobal.RecordCount(), 1);
    ASSERT_EQ(device.sent.size(), 1u);
    EXPECT_EQ(device.sent[0].bytes[2], cmdSelectRead);
    EXPECT_EQ(device.sent[0].bytes[3], stGlobal);
}

struct DevConfCase {
    uint8_t byte;
    uint16_t devConfAfter;
    uint16_t mode;
    const char* modeName;
};

TEST_F(GlobalRecordTest, DevConfSplitsIntoFlagsAndTheCalibrationMode) {
    const DevConfCase cases[] = {
        {0x06, 0x00, 3, "??? 10:3"},   // mode 3 has no name, and both mode bits end cleared
        {0xFB, 0xFB, 1, "Авто"},
        {0x04, 0x04, 2, "Ручная"},
        {0x00, 0x00, 0, "Заводская"},
        {0x99, 0x99, 0, "Заводская"},
    };
    for (const DevConfCase& c : cases) {
        SCOPED_TRACE(int(c.byte));
        ReadWithDevConf(c.byte);
        EXPECT_EQ(global.DevConf.AsInteger(), c.devConfAfter);
        EXPECT_EQ(global.DevConf_CalibrMode.AsInteger(), c.mode);
        EXPECT_EQ(global.DevConf_CalibrModeCalc.AsString(), c.modeName);
        EXPECT_EQ(global.DevConf_7.AsBoolean(), bool(c.byte & 0x80));
        EXPECT_EQ(global.DevConf_AxesAuto.AsBoolean(), bool(c.byte & 0x01));
        ExpectDevConfMatchesFlagsAndMode();
    }
    EXPECT_EQ(global.cdsGlobal.RecordCount(), 1) << "a second read updates the one record";
}

TEST_F(GlobalRecordTest, WriteSendsTheRecordWithAZeroChecksumAndLowBytes) {
    Answer({0xCD, 0xAB, 0x10, 0x07, 0x34, 0x12, 0x78, 0x56, 0xBC, 0x9A, 0xF0, 0xDE, 0x03, 0x04, 0x05, 0x99});
    global.ReadGlobal();
    global.cdsGlobal.StartEdit();
    global.Len.SetInteger(200);   // typed on the engineering view
    EXPECT_THROW(global.Len.SetInteger(300), ERecordSetError) << "300 would go out as 44";
    device.sent.clear();
    global.WriteGlobal();
    ASSERT_EQ(device.sent.size(), 3u);
    EXPECT_EQ(device.sent[0].bytes[2], cmdSelectWrite);
    EXPECT_EQ(WrittenStructure(), (Bytes{0x00, 0x00, 0x00, 200, 0x07, 0x34, 0x12, 0x78, 0x56, 0xBC,
                                         0x9A, 0xF0, 0xDE, 0x03, 0x04, 0x05, 0x99}));
    EXPECT_EQ(device.sent[2].bytes[2], cmdReboot);
    EXPECT_EQ(global.cdsGlobal.State(), TDataSetState::Edit) << "the write neither posts nor discards";
}

TEST_F(GlobalRecordTest, AShortFeatureReportReadsAndWritesOnlyItsLength) {
    Connect(6);
    Answer({0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x0F});
    global.ReadGlobal();
    EXPECT_EQ(global.UID_SerN.AsInteger(), 0x55);   // byte 5 read, byte 6 beyond the length
    EXPECT_EQ(global.DevConf.AsInteger(), 0);
    device.sent.clear();
    global.WriteGlobal();
    EXPECT_EQ(WrittenStructure(), (Bytes{0x00, 0x00, 0x00, 0x33, 0x44, 0x55}));
}

TEST_F(GlobalRecordTest, PickingAModeRewritesOnlyTheModeBits) {
    ReadWithDevConf(0x03);
    global.cdsGlobal.StartEdit();
    global.DevConf_CalibrMode.SetInteger(2);
    EXPECT_EQ(global.DevConf.AsInteger(), 0x05);
    EXPECT_EQ(global.DevConf_CalibrModeCalc.AsString(), "Ручная");
    global.DevConf_CalibrMode.SetInteger(0);
    EXPECT_EQ(global.DevConf.AsInteger(), 0x01);
}

TEST_F(GlobalRecordTest, AFlagSetsItsBitAndKeepsTheOthers) {
    ReadWithDevConf(0x00);
    global.cdsGlobal.StartEdit();
    EXPECT_THROW(global.DevConf.SetInteger(0x105), ERecordSetError) << "DevConf is one byte";
    global.DevConf.SetInteger(0x05);
    global.DevConf_MF.SetBoolean(true);
    EXPECT_EQ(global.DevConf.AsInteger(), 0x0D);
}

TEST_F(GlobalRecordTest, EveryFlagEditKeepsDevConfInStep) {
    ReadWithDevConf(0x5A);
    global.cdsGlobal.StartEdit();
    TField* flags[] = {&global.DevConf_7, &global.DevConf_6, &global.DevConf_5,
                       &global.DevConf_DF, &global.DevConf_MF, &global.DevConf_AxesAuto};
    for (TField* flag : flags) {
        SCOPED_TRACE(flag->FieldName());
        flag->SetBoolean(!flag->AsBoolean());
        ExpectDevConfMatchesFlagsAndMode();
        flag->SetBoolean(!flag->AsBoolean());
        ExpectDevConfMatchesFlagsAndMode();
    }
    EXPECT_EQ(global.DevConf.AsInteger(), 0x5A);
}

TEST_F(GlobalRecordTest, NoDeviceMeansSilenceAndNoFeatureReportsOneMessageEach) {
    state.device = nullptr;
    global.ReadGlobal();
    global.WriteGlobal();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(global.cdsGlobal.RecordCount(), 0);

    Connect(0);
    global.ReadGlobal();
    EXPECT_EQ(messages.shown, std::vector<std::string>{MsgFeatureReportsNotSupported});
    global.WriteGlobal();
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(global.cdsGlobal.RecordCount(), 0);
    EXPECT_TRUE(device.sent.empty());
}

TEST(BitHelpers, SetClearAndTestEveryBit) {
    for (int bit = 0; bit < 8; ++bit) {
        uint8_t value = 0;
        SetBit(value, bit);
        EXPECT_EQ(value, 1u << bit);
        EXPECT_TRUE(TestBit(value, bit));
        uint8_t all = 0xFF;
        ClearBit(all, bit);
        EXPECT_EQ(all, uint8_t(~(1u << bit)));
        EXPECT_FALSE(TestBit(all, bit));
    }
}

} // namespace
} // namespace qzr
