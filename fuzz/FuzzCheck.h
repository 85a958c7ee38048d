#pragma once
#include <cstdlib>

namespace qzr::fuzz {

// A property that does not hold: libFuzzer reports the abort as a crash with the input.
inline void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace qzr::fuzz
