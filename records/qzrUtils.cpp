#include "records/qzrUtils.h"

#include "records/RecordSet.h"

namespace qzr {

void SetBit(uint8_t& value, int bit) { value = uint8_t(value | (1u << bit)); }
void ClearBit(uint8_t& value, int bit) { value = uint8_t(value & ~(1u << bit)); }
bool TestBit(uint8_t value, int bit) { return (value >> bit) & 1u; }

uint8_t LowByte(const TField& field) { return uint8_t(field.AsInteger() & 0xFF); }
uint16_t LowWord(const TField& field) { return uint16_t(field.AsInteger() & 0xFFFF); }

uint8_t WithCodeBits(uint8_t byte, uint8_t code, int firstBit, int width) {
    for (int bit = firstBit; bit < firstBit + width; ++bit) ClearBit(byte, bit);
    if (code == 1)
        SetBit(byte, firstBit);
    else if (code == 2)
        SetBit(byte, firstBit + 1);
    return byte;
}

TField& AddByteField(TRecordSet& set, const char* name) {
    return AddCodeField(set, name, 8);
}

TField& AddCodeField(TRecordSet& set, const char* name, int bits) {
    TField& field = set.AddField(name, TFieldType::Word);
    field.SetRange(0, (int64_t{1} << bits) - 1);
    return field;
}

void SetFieldBit(TField& byteField, const TField& flagField, int bit) {
    uint8_t b = LowByte(byteField);
    if (flagField.AsBoolean())
        SetBit(b, bit);
    else
        ClearBit(b, bit);
    byteField.SetInteger(b);
}

} // namespace qzr
