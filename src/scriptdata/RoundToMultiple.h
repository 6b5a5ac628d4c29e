#pragma once

#include <cstdint>

namespace xsc::math {

// The ceiling of value / multiple, times multiple: (5, 4) gives 8, (8, 4) 8, (0, 4) 0, (-5, 4) -4.
// The multiple must not be 0.
std::int32_t RoundToMultiple(std::int32_t value, std::int32_t multiple);

}  // namespace xsc::math
