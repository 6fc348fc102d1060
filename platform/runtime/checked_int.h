#pragma once

#include "platform/runtime/runtime_error.h"

#include <QtNumeric>

#include <cstdint>
#include <limits>

// Row arithmetic never wraps: going past the width of the number raises the overflow
// error, which the window's error boundary reports instead of corrupting a row number.
namespace checked {

inline std::int32_t add(std::int32_t a, std::int32_t b)
{
    std::int32_t result;
    if (qAddOverflow(a, b, &result))
        throw RuntimeError::overflow();
    return result;
}

inline std::int32_t sub(std::int32_t a, std::int32_t b)
{
    std::int32_t result;
    if (qSubOverflow(a, b, &result))
        throw RuntimeError::overflow();
    return result;
}

inline std::int16_t toInt16(std::int64_t value)
{
    if (value < std::numeric_limits<std::int16_t>::min()
        || value > std::numeric_limits<std::int16_t>::max())
        throw RuntimeError::overflow();
    return static_cast<std::int16_t>(value);
}

} // namespace checked
