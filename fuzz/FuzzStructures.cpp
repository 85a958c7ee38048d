// A structure read and written back through the records, on arbitrary report bytes and any
// feature report length from 0 to 600. Every field decodes from its bytes; the structure
// written back equals the one read except where the records change it on purpose (checksum
// sent as zero, calibration-mode bits of mode 3, usage-page bits of pages 3 to 7); every frame
// is exactly the feature report length; lengths that carry no command send nothing.
//
// Input: two bytes of feature report length (taken modulo 601), one byte choosing the
// structure, then the report the device answers with.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzRecords.h"

namespace {

using namespace qzr;
using Bytes = std::vector<uint8_t>;

using fuzz::Check;
using Rig = fuzz::TRecordsRig;

// The report buffer as a read leaves it: the answer up to the length, zeros after.
Bytes ReadBuffer(const Bytes& answer, int32_t length)
{
    Bytes buffer(std::max<size_t>(256, size_t(length)), 0);
    std::copy_n(answer.begin(), std::min(answer.size(), size_t(length)), buffer.begin());
    return buffer;
}

Bytes Frame(uint8_t code, uint8_t argument, int32_t length)
{
    Bytes frame(std::max<size_t>(256, size_t(length)), 0);
    frame[1] = CommandMarker;
    frame[2] = code;
    frame[3] = argument;
    frame.resize(size_t(length));
    return frame;
}

uint16_t Word(const Bytes& b, size_t low) { return uint16_t(b[low] | (b[low + 1] << 8)); }
bool Bit(uint8_t byte, int bit) { return (byte >> bit) & 1; }

void CheckGlobalFields(const TGlobalRecord& g, const Bytes& r)
{
    const uint8_t devConf = r[16];
    Check(g.CRC.AsInteger() == Word(r, 1) && g.Len.AsInteger() == r[3] &&
          g.DevID.AsInteger() == r[4]);
    Check(g.UID_SerN.AsInteger() == Word(r, 5) && g.UID_3.AsInteger() == Word(r, 7) &&
          g.UID_5.AsInteger() == Word(r, 9) && g.UID_7.AsInteger() == Word(r, 11));
    Check(g.NStruct.AsInteger() == r[13] && g.Power.AsInteger() == r[14] &&
          g.AUX.AsInteger() == r[15]);
    Check(g.DevConf_7.AsBoolean() == Bit(devConf, 7) && g.DevConf_6.AsBoolean() == Bit(devConf, 6) &&
          g.DevConf_5.AsBoolean() == Bit(devConf, 5) && g.DevConf_DF.AsBoolean() == Bit(devConf, 4) &&
          g.DevConf_MF.AsBoolean() == Bit(devConf, 3) &&
          g.DevConf_AxesAuto.AsBoolean() == Bit(devConf, 0));
    Check(g.DevConf_CalibrMode.AsInteger() == ((devConf >> 1) & 3));
    Check(!g.DevConf_CalibrModeCalc.AsString().empty());
}

void CheckAxisFields(const TAxisRecords& a, uint8_t axis, const Bytes& r)
{
    const uint8_t usage = r[3], precision = r[5], filter = r[6], aux = r[7];
    Check(a.N.AsInteger() == axis && a.Len.AsInteger() == r[1] && a.Type.AsInteger() == r[2]);
    Check(a.ConfUsage_7.AsBoolean() == Bit(usage, 7) && a.ConfUsage_ON.AsBoolean() == Bit(usage, 6) &&
          a.ConfUsage_Inverted.AsBoolean() == Bit(usage, 5) &&
          a.ConfUsage_Centered.AsBoolean() == Bit(usage, 4) &&
          a.ConfUsage_Revers.AsBoolean() == Bit(usage, 3));
    Check(a.ConfUsage_HIDUsagePage.AsInteger() == (usage & 7) && a.HID_Usage.AsInteger() == r[4]);
    Check(!a.ConfUsage_HIDUsagePageCalc.AsString().empty() && !a.HID_UsageCalc.AsString().empty());
    Check(a.Precision_Data.AsInteger() == precision >> 5 &&
          a.Precision_Axis.AsInteger() == (precision & 31));
    const int32_t resolution = static_cast<int32_t>(uint32_t{1} << (precision & 31));
    Check(a.Precision_AxisCalc.AsInteger() == resolution);
    Check(a.CentCalibFiltr_MF.AsBoolean() == Bit(filter, 7) &&
          a.CentCalibFiltr_DF.AsBoolean() == Bit(filter, 6) &&
          a.CentCalibFiltr_CenterOk.AsBoolean() == Bit(filter, 2) &&
          a.CentCalibFiltr_Filter.AsInteger() == ((filter >> 3) & 7));
    Check(a.AUX_AxisMap.AsBoolean() == Bit(aux, 2) && a.AUX_LedOn.AsBoolean() == Bit(aux, 1) &&
          a.AUX_Centr.AsBoolean() == Bit(aux, 0));
    const TField* zones[][3] = {{&a.Zic, &a.ZicCalcPerc, &a.ZicCalc},
                                {&a.DeadZoneLow, &a.DeadZoneLowCalcPerc, &a.DeadZoneLowCalc},
                                {&a.DeadZoneHigh, &a.DeadZoneHighCalcPerc, &a.DeadZoneHighCalc}};
    for (size_t i = 0; i < 3; ++i) {
        const uint8_t zone = r[8 + i];
        Check(zones[i][0]->AsInteger() == zone && zones[i][1]->AsFloat() == zone / 10.0);
        Check(zones[i][2]->AsInteger() == ZoneUnits(resolution, zone / 10.0));
    }
    Check(a.KD_High.AsInteger() == Word(r, 11) && a.KdLow.AsInteger() == Word(r, 13) &&
          a.Bias.AsInteger() == Word(r, 15));
}

// What a write-back sends as the structure: the bytes read, changed only where specified.
Bytes ExpectedWriteBack(const Bytes& r, bool global, int32_t length)
{
    Bytes expected(r.size(), 0);
    std::copy_n(r.begin() + 1, 16, expected.begin() + 1);
    if (global) {
        expected[1] = expected[2] = 0;
        if (((r[16] >> 1) & 3) == 3)
            expected[16] &= uint8_t(~0x06);
    } else if ((r[3] & 7) >= 3) {
        expected[3] &= uint8_t(~0x07);
    }
    expected.resize(size_t(length));
    return expected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const int32_t length = int32_t((data[0] | (data[1] << 8)) % 601);
    const uint8_t choice = data[2];
    const Bytes answer(data + 3, data + size);
    const bool global = choice % 4 == 0;
    const uint8_t structureId = global ? stGlobal : choice < 128 ? uint8_t(0x0F + choice % 4) : choice;
    const uint8_t axis = AxisOfStructure(structureId);

    Rig rig(length, answer);
    if (global)
        rig.global.ReadGlobal();
    else
        rig.axes.ReadAxis(structureId);
    if (length < MinFeatureLength) {
        global ? rig.global.WriteGlobal() : rig.axes.WriteAxis(axis);
        Check(rig.device.sent.empty() && rig.device.reads == 0);
        Check(rig.messages.shown ==
              std::vector<std::string>(2, MsgFeatureReportsNotSupported));
        return 0;
    }

    const Bytes r = ReadBuffer(answer, length);
    Check(rig.messages.shown.empty() && rig.device.reads == 1 && rig.device.sent.size() == 1);
    Check(rig.device.sent[0].bytes == Frame(cmdSelectRead, structureId, length));
    if (global) {
        Check(rig.global.cdsGlobal.RecordCount() == 1 && !rig.global.cdsGlobal.IsEditing());
        CheckGlobalFields(rig.global, r);
        rig.global.WriteGlobal();
    } else {
        Check(rig.axes.cdsNStruct.RecordCount() == 1 && !rig.axes.cdsNStruct.IsEditing());
        CheckAxisFields(rig.axes, axis, r);
        rig.axes.WriteAxis(axis);
    }
    const std::vector<test::TRecordingDevice::Sent>& sent = rig.device.sent;
    Check(sent.size() == 4);
    Check(sent[1].bytes == Frame(cmdSelectWrite, global ? uint8_t(stGlobal) : StructureOfAxis(axis), length));
    Check(sent[2].bytes == ExpectedWriteBack(r, global, length));
    Check(sent[3].bytes == Frame(cmdReboot, 0, length));
    Check(sent[3].atTick - sent[2].atTick >= 1000);
    return 0;
}
