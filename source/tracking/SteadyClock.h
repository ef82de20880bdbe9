#pragma once
#include <cstdint>

namespace quillon {

// Nanoseconds from the performance counter, split so the product cannot overflow for any
// realistic counter frequency.
std::int64_t SteadyNowNanoseconds();

}  // namespace quillon
