#pragma once

#include "platform/runtime/runtime_error.h"

// Failures of the speech operations reach the window as "invalid procedure call or
// argument" with a description of what actually went wrong, so the operator sees the
// cause rather than a bare number.
inline RuntimeError speechFailure(const QString &description)
{
    return RuntimeError(5, description);
}

// No engine at all: the component cannot be created.
inline RuntimeError speechUnavailable(const QString &description)
{
    return RuntimeError(429, description);
}
