#include "scriptdata/RoundToMultiple.h"

#include <cmath>

#include "runtime/Error.h"

namespace xsc::math {

std::int32_t RoundToMultiple(std::int32_t value, std::int32_t multiple) {
    if (multiple == 0) throw Error("internal error: RoundToMultiple by 0");
    const double rounded = std::ceil(static_cast<double>(value) / multiple) * multiple;
    if (rounded > 2147483647.0 || rounded < -2147483648.0) {
        throw Error("internal error: RoundToMultiple result outside 32 bits");
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace xsc::math
