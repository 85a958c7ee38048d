#include "records/Utf8Characters.h"

namespace qzr {

namespace {

struct TSequenceShape {
    size_t length;
    unsigned char secondLow;    // the second byte's range narrows overlong, surrogate and
    unsigned char secondHigh;   // beyond-U+10FFFF forms out
};

// The well-formed sequences by lead byte; length 0 for a byte that cannot lead one.
TSequenceShape ShapeOf(unsigned char lead)
{
    if (lead < 0x80) return {1, 0, 0};
    if (lead < 0xC2) return {0, 0, 0};
    if (lead < 0xE0) return {2, 0x80, 0xBF};
    if (lead == 0xE0) return {3, 0xA0, 0xBF};
    if (lead == 0xED) return {3, 0x80, 0x9F};
    if (lead < 0xF0) return {3, 0x80, 0xBF};
    if (lead == 0xF0) return {4, 0x90, 0xBF};
    if (lead < 0xF4) return {4, 0x80, 0xBF};
    if (lead == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

} // namespace

size_t Utf8CharacterLength(std::string_view text, size_t at)
{
    if (at >= text.size())
        return 0;
    const TSequenceShape shape = ShapeOf(static_cast<unsigned char>(text[at]));
    if (shape.length <= 1 || text.size() - at < shape.length)
        return 1;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    if (second < shape.secondLow || second > shape.secondHigh)
        return 1;
    for (size_t i = 2; i < shape.length; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[at + i])))
            return 1;
    }
    return shape.length;
}

size_t CountCharacters(std::string_view text)
{
    size_t count = 0;
    for (size_t at = 0; at < text.size(); at += Utf8CharacterLength(text, at))
        ++count;
    return count;
}

std::string CutToCharacters(std::string_view text, size_t count)
{
    size_t at = 0;
    for (size_t kept = 0; kept < count && at < text.size(); ++kept)
        at += Utf8CharacterLength(text, at);
    return std::string(text.substr(0, at));
}

} // namespace qzr
