#pragma once
#include <cstdint>

namespace qzr {

class TField;

// Bit numbers 0 (least significant) to 7 of one structure byte.
void SetBit(uint8_t& value, int bit);
void ClearBit(uint8_t& value, int bit);
bool TestBit(uint8_t value, int bit);

// Copies a Boolean flag field into bit `bit` of the low 8 bits of a byte field and assigns the
// resulting byte (0 to 255) back, so a value above 255 loses its high byte.
void SetFieldBit(TField& byteField, const TField& flagField, int bit);

} // namespace qzr
