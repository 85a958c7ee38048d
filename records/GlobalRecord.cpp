#include "records/GlobalRecord.h"

#include "records/qzrUtils.h"

namespace qzr {

namespace {

TField& Word(TRecordSet& set, const char* name) { return set.AddField(name, TFieldType::Word); }
TField& Flag(TRecordSet& set, const char* name) { return set.AddField(name, TFieldType::Boolean); }

// Structure offsets in the report buffer (byte 0 is the report id).
enum : size_t {
    offCRC = 1, offLen = 3, offDevID = 4, offUID_SerN = 5, offUID_3 = 7, offUID_5 = 9,
    offUID_7 = 11, offNStruct = 13, offPower = 14, offAUX = 15, offDevConf = 16,
};

} // namespace

TGlobalRecord::TGlobalRecord(TCommandChannel& channel, TRubr* classifier)
    : cdsGlobal("cdsGlobal"),
      CRC(Word(cdsGlobal, "CRC")),
      Len(AddByteField(cdsGlobal, "Len")),
      DevID(AddByteField(cdsGlobal, "DevID")),
      UID_SerN(Word(cdsGlobal, "UID_SerN")),
      UID_3(Word(cdsGlobal, "UID_3")),
      UID_5(Word(cdsGlobal, "UID_5")),
      UID_7(Word(cdsGlobal, "UID_7")),
      NStruct(AddByteField(cdsGlobal, "NStruct")),
      Power(AddByteField(cdsGlobal, "Power")),
      AUX(AddByteField(cdsGlobal, "AUX")),
      DevConf(AddByteField(cdsGlobal, "DevConf")),
      DevConf_7(Flag(cdsGlobal, "DevConf_7")),
      DevConf_6(Flag(cdsGlobal, "DevConf_6")),
      DevConf_5(Flag(cdsGlobal, "DevConf_5")),
      DevConf_DF(Flag(cdsGlobal, "DevConf_DF")),
      DevConf_MF(Flag(cdsGlobal, "DevConf_MF")),
      DevConf_CalibrMode(AddCodeField(cdsGlobal, "DevConf_CalibrMode", 2)),
      DevConf_AxesAuto(Flag(cdsGlobal, "DevConf_AxesAuto")),
      DevConf_CalibrModeCalc(cdsGlobal.AddField("DevConf_CalibrModeCalc", TFieldType::String, 20)),
      channel_(channel),
      classifier_(classifier) {
    // cdsGlobalDevConf_7Change ... cdsGlobalDevConf_AxesAutoChange: each flag into its bit.
    const std::pair<TField*, int> flagBits[] = {
        {&DevConf_7, 7}, {&DevConf_6, 6}, {&DevConf_5, 5},
        {&DevConf_DF, 4}, {&DevConf_MF, 3}, {&DevConf_AxesAuto, 0},
    };
    for (const auto& [flag, bit] : flagBits)
        flag->OnChange = [this, bit = bit](TField& Sender) { SetFieldBit(DevConf, Sender, bit); };
    DevConf_CalibrMode.OnChange = [this](TField& Sender) { cdsGlobalDevConf_CalibrModeChange(Sender); };
}

void TGlobalRecord::cdsGlobalDevConf_CalibrModeChange(TField& Sender) {
    const uint8_t mode = LowByte(Sender);
    DevConf_CalibrModeCalc.SetString(RubrName(classifier_, rubrCalibrModes, mode));
    DevConf.SetInteger(WithCodeBits(LowByte(DevConf), mode, 1, 2));
}

void TGlobalRecord::ReadGlobal() {
    if (!channel_.HasDevice()) return;
    TReportBuffer buffer;
    if (!channel_.ReadStructure(stGlobal, buffer)) return;
    cdsGlobal.StartEdit();
    Decode(buffer);
    cdsGlobal.PostRecord();
}

void TGlobalRecord::Decode(const TReportBuffer& buffer) {
    const uint8_t r = buffer[offDevConf];
    CRC.SetInteger(buffer.Word(offCRC));
    Len.SetInteger(buffer[offLen]);
    DevID.SetInteger(buffer[offDevID]);
    UID_SerN.SetInteger(buffer.Word(offUID_SerN));
    UID_3.SetInteger(buffer.Word(offUID_3));
    UID_5.SetInteger(buffer.Word(offUID_5));
    UID_7.SetInteger(buffer.Word(offUID_7));
    NStruct.SetInteger(buffer[offNStruct]);
    Power.SetInteger(buffer[offPower]);
    AUX.SetInteger(buffer[offAUX]);
    DevConf.SetInteger(r);
    DevConf_7.SetBoolean(TestBit(r, 7));
    DevConf_6.SetBoolean(TestBit(r, 6));
    DevConf_5.SetBoolean(TestBit(r, 5));
    DevConf_DF.SetBoolean(TestBit(r, 4));
    DevConf_MF.SetBoolean(TestBit(r, 3));
    DevConf_AxesAuto.SetBoolean(TestBit(r, 0));
    DevConf_CalibrMode.SetInteger((r >> 1) & 3);
}

void TGlobalRecord::Encode(TReportBuffer& buffer) const {
    // Bytes 1 and 2, the checksum, go out as zero.
    buffer[offLen] = LowByte(Len);
    buffer[offDevID] = LowByte(DevID);
    buffer.SetWord(offUID_SerN, LowWord(UID_SerN));
    buffer.SetWord(offUID_3, LowWord(UID_3));
    buffer.SetWord(offUID_5, LowWord(UID_5));
    buffer.SetWord(offUID_7, LowWord(UID_7));
    buffer[offNStruct] = LowByte(NStruct);
    buffer[offPower] = LowByte(Power);
    buffer[offAUX] = LowByte(AUX);
    buffer[offDevConf] = LowByte(DevConf);
}

void TGlobalRecord::WriteGlobal() {
    channel_.WriteStructure(stGlobal, [this](TReportBuffer& buffer) { Encode(buffer); });
}

} // namespace qzr
