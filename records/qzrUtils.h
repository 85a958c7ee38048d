#pragma once
#include <cstdint>

namespace qzr {

class TField;
class TRecordSet;

// Bit numbers 0 (least significant) to 7 of one structure byte.
void SetBit(uint8_t& value, int bit);
void ClearBit(uint8_t& value, int bit);
bool TestBit(uint8_t value, int bit);

// Copies a Boolean flag field into bit `bit` of the low 8 bits of a byte field and assigns the
// resulting byte (0 to 255) back, so a value above 255 loses its high byte.
void SetFieldBit(TField& byteField, const TField& flagField, int bit);

// A structure byte or word as a record field holds it: the low 8 or 16 bits of its value.
uint8_t LowByte(const TField& field);
uint16_t LowWord(const TField& field);

// Codes 1 and 2 each own one bit (`firstBit` for 1, the next for 2); the `width` bits from
// `firstBit` are cleared first, so any other code leaves them all clear.
uint8_t WithCodeBits(uint8_t byte, uint8_t code, int firstBit, int width);

// Unsigned fields that accept only what the wire can carry: a one-byte structure member
// 0 to 255, a code taken out of `bits` bits of a byte 0 to 2^bits - 1. Anything wider would
// be cut to its low bits on the way to the controller.
TField& AddByteField(TRecordSet& set, const char* name);
TField& AddCodeField(TRecordSet& set, const char* name, int bits);

} // namespace qzr
