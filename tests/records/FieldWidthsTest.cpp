// Every record field that holds a structure member, or a code taken out of some of its bits,
// accepts exactly what the wire carries: anything wider would reach the controller cut to
// its low bits. Reads still decode every byte the controller can send.
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "tests/records/RecordsFixture.h"

namespace qzr {
namespace {

using test::Bytes;

struct WidthCase {
    const char* field;
    int64_t highest;
};

// One-byte members 0-255, two-byte members 0-65535, codes as wide as their bits.
const WidthCase GlobalWidths[] = {
    {"CRC", 65535},     {"Len", 255},   {"DevID", 255},   {"UID_SerN", 65535}, {"UID_3", 65535},
    {"UID_5", 65535},   {"UID_7", 65535}, {"NStruct", 255}, {"Power", 255},     {"AUX", 255},
    {"DevConf", 255},   {"DevConf_CalibrMode", 3},
};

const WidthCase AxisWidths[] = {
    {"Len", 255},          {"Type", 255},        {"ConfUsage", 255},     {"HID_Usage", 255},
    {"Precision", 255},    {"CentCalibFiltr", 255}, {"AUX", 255},        {"Zic", 255},
    {"DeadZoneLow", 255},  {"DeadZoneHigh", 255}, {"KD_High", 65535},    {"KdLow", 65535},
    {"Bias", 65535},       {"Precision_Data", 7}, {"Precision_Axis", 31}, {"ConfUsage_HIDUsagePage", 7},
    {"CentCalibFiltr_Filter", 7},
};

class FieldWidthsTest : public test::RecordsFixture {
protected:
    // The highest value is taken; one above it and -1 are refused with the range text, and
    // the field keeps what it held.
    static void ExpectWidth(TRecordSet& set, const WidthCase& c) {
        SCOPED_TRACE(c.field);
        TField& field = set.FieldNamed(c.field);
        field.SetInteger(c.highest);
        EXPECT_EQ(field.AsInteger(), c.highest);
        field.SetInteger(0);
        const std::string range = "The allowed range is 0 to " + std::to_string(c.highest);
        for (int64_t refused : {c.highest + 1, int64_t{-1}}) {
            try {
                field.SetInteger(refused);
                ADD_FAILURE() << refused << " was taken";
            } catch (const ERecordSetError& e) {
                EXPECT_EQ(std::string(e.what()), std::to_string(refused) + " is not a valid value for field '" +
                                                     c.field + "'. " + range);
            }
            EXPECT_EQ(field.AsInteger(), 0);
        }
    }
};

TEST_F(FieldWidthsTest, GlobalFieldsTakeWhatTheirBytesCarry) {
    global.cdsGlobal.StartEdit();
    for (const WidthCase& c : GlobalWidths) ExpectWidth(global.cdsGlobal, c);
}

TEST_F(FieldWidthsTest, AxisFieldsTakeWhatTheirBytesCarry) {
    axes.cdsNStruct.StartEdit();
    for (const WidthCase& c : AxisWidths) ExpectWidth(axes.cdsNStruct, c);
}

// The zone row's caption says 0-255: 300 would reach the controller as 44.
TEST_F(FieldWidthsTest, ARefusedZoneLeavesTheRecordAndTheStructureAsTheyWere) {
    Answer({0, 0, 0, 0, 10, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0});
    axes.ReadAxis(stAxisRudder);
    axes.cdsNStruct.StartEdit();
    EXPECT_THROW(axes.Zic.SetText("300"), ERecordSetError);
    EXPECT_EQ(axes.Zic.AsInteger(), 15);
    EXPECT_DOUBLE_EQ(axes.ZicCalcPerc.AsFloat(), 1.5);
    device.sent.clear();
    axes.WriteAxis(0);
    EXPECT_EQ(WrittenStructure().at(8), 15);
}

TEST_F(FieldWidthsTest, EveryByteTheControllerSendsStillDecodes) {
    std::mt19937 random(20260417);
    for (int round = 0; round < 200; ++round) {
        Bytes structure(16);
        for (uint8_t& b : structure) b = uint8_t(random());
        if (round < 2) structure.assign(16, round == 0 ? 0x00 : 0xFF);
        SCOPED_TRACE(round);
        Answer(structure);
        global.ReadGlobal();
        EXPECT_EQ(global.cdsGlobal.State(), TDataSetState::Browse);
        EXPECT_EQ(global.DevConf_CalibrMode.AsInteger(), (structure[15] >> 1) & 3);
        axes.ReadAxis(stAxisLeftBrake);
        EXPECT_EQ(axes.cdsNStruct.State(), TDataSetState::Browse);
        EXPECT_EQ(axes.Precision_Data.AsInteger(), structure[4] >> 5);
        EXPECT_EQ(axes.Precision_Axis.AsInteger(), structure[4] & 31);
        EXPECT_EQ(axes.Bias.AsInteger(), structure[14] | structure[15] << 8);
    }
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
} // namespace qzr
