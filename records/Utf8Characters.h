#pragma once
// Characters of the text a string field holds. A character is one well-formed UTF-8 sequence,
// or one byte that does not belong to such a sequence: a stray continuation byte, a lead byte
// without its continuation, an overlong or surrogate form. Counted so, a text never has fewer
// characters than any decoder would show for it.
#include <cstddef>
#include <string>
#include <string_view>

namespace qzr {

// Bytes of the character that starts at `at` (1 to 4); 0 at or beyond the end.
size_t Utf8CharacterLength(std::string_view text, size_t at);
size_t CountCharacters(std::string_view text);
// The first `count` characters of the text.
std::string CutToCharacters(std::string_view text, size_t count);

} // namespace qzr
