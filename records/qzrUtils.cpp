#include "records/qzrUtils.h"

#include "records/RecordSet.h"

namespace qzr {

void SetBit(uint8_t& value, int bit) { value = uint8_t(value | (1u << bit)); }
void ClearBit(uint8_t& value, int bit) { value = uint8_t(value & ~(1u << bit)); }
bool TestBit(uint8_t value, int bit) { return (value >> bit) & 1u; }

void SetFieldBit(TField& byteField, const TField& flagField, int bit) {
    uint8_t b = uint8_t(byteField.AsInteger() & 0xFF);
    if (flagField.AsBoolean())
        SetBit(b, bit);
    else
        ClearBit(b, bit);
    byteField.SetInteger(b);
}

} // namespace qzr
