#include "link/UserServices.h"

#include <chrono>

namespace qzr {

uint32_t TSteadyTickCounter::Milliseconds() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms);
}

} // namespace qzr
