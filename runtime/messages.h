// The runtime's message texts, German, in code page 858.
#pragma once

#include "value.h"

namespace rt {

// Module number of the runtime's own message table (all 32 bits set).
inline constexpr double kRuntimeMessages = 4294967295.0;

// The message text `id` of the runtime's message table when `module` names it
// (kRuntimeMessages); NIL for unknown numbers and other modules. `type` is
// accepted for the caller's interface; message texts are the only kind held.
Value LoadResource(long id, const Value& module = kRuntimeMessages, const Value& type = Value());

}  // namespace rt
