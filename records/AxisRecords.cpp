#include "records/AxisRecords.h"

#include <cmath>

#include "records/qzrUtils.h"

namespace qzr {

namespace {

TField& Word(TRecordSet& set, const char* name) { return set.AddField(name, TFieldType::Word); }
TField& Flag(TRecordSet& set, const char* name) { return set.AddField(name, TFieldType::Boolean); }
TField& Int(TRecordSet& set, const char* name) { return set.AddField(name, TFieldType::Integer); }
TField& Real(TRecordSet& set, const char* name) { return set.AddField(name, TFieldType::Float); }

enum : size_t {
    offLen = 1, offType = 2, offConfUsage = 3, offHID_Usage = 4, offPrecision = 5,
    offCentCalibFiltr = 6, offAUX = 7, offZic = 8, offDeadZoneLow = 9, offDeadZoneHigh = 10,
    offKD_High = 11, offKdLow = 13, offBias = 15,
};

} // namespace

int64_t ZoneUnits(int32_t resolutionUnits, double percent) {
    // nearbyint rounds in the default mode, to nearest with halves to even.
    return static_cast<int64_t>(std::nearbyint(double(resolutionUnits) * percent / 100.0));
}

TAxisRecords::TAxisRecords(TCommandChannel& channel, TRubr* classifier)
    : cdsNStruct("cdsNStruct"),
      N(Word(cdsNStruct, "N")),
      Len(AddByteField(cdsNStruct, "Len")),
      Type(AddByteField(cdsNStruct, "Type")),
      ConfUsage(AddByteField(cdsNStruct, "ConfUsage")),
      HID_Usage(AddByteField(cdsNStruct, "HID_Usage")),
      Precision(AddByteField(cdsNStruct, "Precision")),
      Precision_Data(AddCodeField(cdsNStruct, "Precision_Data", 3)),
      Precision_Axis(AddCodeField(cdsNStruct, "Precision_Axis", 5)),
      CentCalibFiltr(AddByteField(cdsNStruct, "CentCalibFiltr")),
      AUX(AddByteField(cdsNStruct, "AUX")),
      Zic(AddByteField(cdsNStruct, "Zic")),
      DeadZoneLow(AddByteField(cdsNStruct, "DeadZoneLow")),
      DeadZoneHigh(AddByteField(cdsNStruct, "DeadZoneHigh")),
      KD_High(Word(cdsNStruct, "KD_High")),
      KdLow(Word(cdsNStruct, "KdLow")),
      Bias(Word(cdsNStruct, "Bias")),
      ConfUsage_7(Flag(cdsNStruct, "ConfUsage_7")),
      ConfUsage_ON(Flag(cdsNStruct, "ConfUsage_ON")),
      ConfUsage_Inverted(Flag(cdsNStruct, "ConfUsage_Inverted")),
      ConfUsage_Centered(Flag(cdsNStruct, "ConfUsage_Centered")),
      ConfUsage_Revers(Flag(cdsNStruct, "ConfUsage_Revers")),
      ConfUsage_HIDUsagePage(AddCodeField(cdsNStruct, "ConfUsage_HIDUsagePage", 3)),
      ConfUsage_HIDUsagePageCalc(cdsNStruct.AddField("ConfUsage_HIDUsagePageCalc", TFieldType::String, 40)),
      HID_UsageCalc(cdsNStruct.AddField("HID_UsageCalc", TFieldType::String, 20)),
      CentCalibFiltr_MF(Flag(cdsNStruct, "CentCalibFiltr_MF")),
      CentCalibFiltr_DF(Flag(cdsNStruct, "CentCalibFiltr_DF")),
      CentCalibFiltr_Filter(AddCodeField(cdsNStruct, "CentCalibFiltr_Filter", 3)),
      CentCalibFiltr_CenterOk(Flag(cdsNStruct, "CentCalibFiltr_CenterOk")),
      AUX_AxisMap(Flag(cdsNStruct, "AUX_AxisMap")),
      AUX_LedOn(Flag(cdsNStruct, "AUX_LedOn")),
      AUX_Centr(Flag(cdsNStruct, "AUX_Centr")),
      // Unit values are 32-bit signed: whatever resolution and zone the controller sends,
      // the formula's result fits, so no byte pattern can stop a read half-way.
      ZicCalc(Int(cdsNStruct, "ZicCalc")),
      DeadZoneLowCalc(Int(cdsNStruct, "DeadZoneLowCalc")),
      DeadZoneHighCalc(Int(cdsNStruct, "DeadZoneHighCalc")),
      Precision_AxisCalc(Int(cdsNStruct, "Precision_AxisCalc")),
      ZicCalcPerc(Real(cdsNStruct, "ZicCalcPerc")),
      DeadZoneLowCalcPerc(Real(cdsNStruct, "DeadZoneLowCalcPerc")),
      DeadZoneHighCalcPerc(Real(cdsNStruct, "DeadZoneHighCalcPerc")),
      channel_(channel),
      classifier_(classifier) {
    const std::tuple<TField*, TField*, int> flagBits[] = {
        {&ConfUsage_7, &ConfUsage, 7},        {&ConfUsage_ON, &ConfUsage, 6},
        {&ConfUsage_Inverted, &ConfUsage, 5}, {&ConfUsage_Centered, &ConfUsage, 4},
        {&ConfUsage_Revers, &ConfUsage, 3},   {&CentCalibFiltr_MF, &CentCalibFiltr, 7},
        {&CentCalibFiltr_DF, &CentCalibFiltr, 6}, {&AUX_AxisMap, &AUX, 2},
        {&AUX_LedOn, &AUX, 1},                {&AUX_Centr, &AUX, 0},
    };
    for (const auto& [flag, byte, bit] : flagBits)
        flag->OnChange = [byte = byte, bit = bit](TField& Sender) { SetFieldBit(*byte, Sender, bit); };

    ConfUsage_HIDUsagePage.OnChange = [this](TField& f) { cdsNStructConfUsage_HIDUsagePageChange(f); };
    HID_Usage.OnChange = [this](TField& f) { cdsNStructHID_UsageChange(f); };
    Precision_Axis.OnChange = [this](TField& f) { cdsNStructPrecision_AxisChange(f); };
    CentCalibFiltr_Filter.OnChange = [this](TField& f) { cdsNStructCentCalibFiltr_FilterChange(f); };
    Zic.OnChange = [this](TField& f) { ZoneChange(f, ZicCalcPerc, ZicCalc); };
    DeadZoneLow.OnChange = [this](TField& f) { ZoneChange(f, DeadZoneLowCalcPerc, DeadZoneLowCalc); };
    DeadZoneHigh.OnChange = [this](TField& f) { ZoneChange(f, DeadZoneHighCalcPerc, DeadZoneHighCalc); };
}

void TAxisRecords::cdsNStructConfUsage_HIDUsagePageChange(TField& Sender) {
    const uint8_t page = LowByte(Sender);
    ConfUsage_HIDUsagePageCalc.SetString(RubrName(classifier_, rubrUsagePages, page));
    ConfUsage.SetInteger(WithCodeBits(LowByte(ConfUsage), page, 0, 3));
}

void TAxisRecords::cdsNStructHID_UsageChange(TField& Sender) {
    HID_UsageCalc.SetString(RubrName(classifier_, rubrUsages, static_cast<int32_t>(Sender.AsInteger())));
}

void TAxisRecords::cdsNStructPrecision_AxisChange(TField& Sender) {
    const int64_t bits = Sender.AsInteger();
    const uint8_t p = uint8_t((LowByte(Precision) & ~0x1F) | (bits & 0x1F));
    Precision.SetInteger(p);
    Precision_AxisCalc.SetInteger(static_cast<int32_t>(uint32_t{1} << (bits % 32)));
}

void TAxisRecords::cdsNStructCentCalibFiltr_MFChange(TField& Sender) {
    SetFieldBit(CentCalibFiltr, Sender, 7);
}

void TAxisRecords::cdsNStructCentCalibFiltr_FilterChange(TField& Sender) {
    const uint8_t degree = LowByte(Sender);
    if (degree > 7) return;
    const uint8_t f = uint8_t((LowByte(CentCalibFiltr) & ~0x38) | (degree << 3));
    CentCalibFiltr.SetInteger(f);
    cdsNStructCentCalibFiltr_MFChange(CentCalibFiltr_MF);
}

void TAxisRecords::ZoneChange(TField& zone, TField& percent, TField& units) {
    percent.SetFloat(double(zone.AsInteger()) / 10.0);
    units.SetInteger(ZoneUnits(static_cast<int32_t>(Precision_AxisCalc.AsInteger()), percent.AsFloat()));
}

void TAxisRecords::ReadAxis(uint8_t structureId) {
    if (!channel_.HasDevice()) {
        channel_.Messages().ShowMessage(MsgControllerNotFound);
        return;
    }
    TReportBuffer buffer;
    if (!channel_.ReadStructure(structureId, buffer)) return;
    const uint8_t axis = AxisOfStructure(structureId);
    if (cdsNStruct.LocateByValues("N", int64_t{axis}))
        cdsNStruct.StartEdit();
    else
        cdsNStruct.AppendBlank();
    Decode(axis, buffer);
    cdsNStruct.PostRecord();
}

void TAxisRecords::Decode(uint8_t axis, const TReportBuffer& buffer) {
    N.SetInteger(axis);
    Len.SetInteger(buffer[offLen]);
    Type.SetInteger(buffer[offType]);

    const uint8_t c = buffer[offConfUsage];
    ConfUsage.SetInteger(c);
    ConfUsage_7.SetBoolean(TestBit(c, 7));
    ConfUsage_ON.SetBoolean(TestBit(c, 6));
    ConfUsage_Inverted.SetBoolean(TestBit(c, 5));
    ConfUsage_Centered.SetBoolean(TestBit(c, 4));
    ConfUsage_Revers.SetBoolean(TestBit(c, 3));
    ConfUsage_HIDUsagePage.SetInteger(c & 7);
    HID_Usage.SetInteger(buffer[offHID_Usage]);

    const uint8_t p = buffer[offPrecision];
    Precision.SetInteger(p);
    Precision_Data.SetInteger(p >> 5);
    Precision_Axis.SetInteger(p & 31);

    const uint8_t f = buffer[offCentCalibFiltr];
    CentCalibFiltr.SetInteger(f);
    CentCalibFiltr_MF.SetBoolean(TestBit(f, 7));
    CentCalibFiltr_DF.SetBoolean(TestBit(f, 6));
    CentCalibFiltr_CenterOk.SetBoolean(TestBit(f, 2));
    CentCalibFiltr_Filter.SetInteger((f >> 3) & 7);

    const uint8_t a = buffer[offAUX];
    AUX.SetInteger(a);
    AUX_AxisMap.SetBoolean(TestBit(a, 2));
    AUX_LedOn.SetBoolean(TestBit(a, 1));
    AUX_Centr.SetBoolean(TestBit(a, 0));

    Zic.SetInteger(buffer[offZic]);
    DeadZoneLow.SetInteger(buffer[offDeadZoneLow]);
    DeadZoneHigh.SetInteger(buffer[offDeadZoneHigh]);
    KD_High.SetInteger(buffer.Word(offKD_High));
    KdLow.SetInteger(buffer.Word(offKdLow));
    Bias.SetInteger(buffer.Word(offBias));
}

void TAxisRecords::Encode(TReportBuffer& buffer) const {
    const TField* bytes[] = {&Len, &Type, &ConfUsage, &HID_Usage, &Precision, &CentCalibFiltr,
                             &AUX, &Zic, &DeadZoneLow, &DeadZoneHigh};
    size_t offset = offLen;
    for (const TField* field : bytes) buffer[offset++] = LowByte(*field);
    buffer.SetWord(offKD_High, LowWord(KD_High));
    buffer.SetWord(offKdLow, LowWord(KdLow));
    buffer.SetWord(offBias, LowWord(Bias));
}

void TAxisRecords::WriteAxis(uint8_t axis) {
    channel_.WriteStructure(StructureOfAxis(axis), [this](TReportBuffer& buffer) { Encode(buffer); });
}

} // namespace qzr
