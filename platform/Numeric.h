#pragma once

// Conversions that C++ leaves undefined for some inputs, made defined for all of them, and the
// equality of stored numbers.

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace platform {

// Truncation toward zero to a signed 32-bit integer. Out-of-range values saturate and NaN gives 0,
// where a plain cast would be undefined behaviour.
inline int32_t TruncToInt32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Narrowing to float with saturation: a double beyond the float range becomes +-infinity
// instead of undefined behaviour.
inline float ToFloat(double v)
{
    constexpr double maxFloat = std::numeric_limits<float>::max();
    if (v > maxFloat)
        return std::numeric_limits<float>::infinity();
    if (v < -maxFloat)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

// Equal values, or the same bits: a NaN read from a file equals itself, so that a record always
// equals its copy.
inline bool SameNumber(double a, double b)
{
    return a == b || std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

} // namespace platform
