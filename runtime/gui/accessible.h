// What the runtime's windows tell screen readers through the standard
// accessibility interface.
#pragma once

#include "native.h"

struct IAccPropServices;

namespace rt {

// WM_GETOBJECT: a client (a screen reader, usually in another process) asks
// for the window's accessible object. True with `result` for the client
// object; false leaves the question to the default processing. `partOf` is
// the runtime window that `hwnd` is a native part of (the entry and list of
// a combination box), nullptr for a window of its own. Only the client
// object is answered. A standard control is named by annotation where the
// system offers it (decided at the first question to one) and then left to
// its own support (false); the runtime's own classes, and standard controls
// without annotation, answer with an object of the runtime. OLE and the
// accessibility library are loaded here, on the first such question.
bool AnswerGetObject(HWND hwnd, WPARAM wparam, LPARAM lparam, LRESULT& result, HWND partOf = nullptr);

// The annotation service from the next question on, in place of the
// system's (nullptr: the system's again), with the choice made forgotten.
// For tests, which stand in for what Windows offers and Wine lacks.
void UseAnnotationService(IAccPropServices* service);

}  // namespace rt
