// What the runtime's windows tell screen readers through the standard
// accessibility interface.
#pragma once

#include "native.h"

namespace rt {

// WM_GETOBJECT: a client (a screen reader, usually in another process) asks
// for the window's accessible object. True with `result` for the client
// object; false leaves the question to the default processing. `partOf` is
// the runtime window that `hwnd` is a native part of (the entry and list of
// a combination box), nullptr for a window of its own. The accessibility
// library is loaded here, on the first question.
bool AnswerGetObject(HWND hwnd, WPARAM wparam, LPARAM lparam, LRESULT& result, HWND partOf = nullptr);

}  // namespace rt
