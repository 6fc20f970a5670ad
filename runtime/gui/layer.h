// The window layer as the program's run (win32/app.cpp) starts and ends it.
// No <windows.h> here.
#pragma once

#include <exception>

namespace rt {

// The calling thread is the program's GUI thread: posts from any other
// thread wake its wait in AppEvent (events.cpp).
void BindGuiThread();
// The runtime's own window classes (frames, drawing areas, texts, tab
// pages), all registered here; once, what calls it again finds them done.
void RegisterWindowClasses();

// Exceptions never cross into the system: a window procedure keeps each one
// that escaped a handler, in order, and the thread's event loop rethrows
// them one per call.
void CarryException(std::exception_ptr e);
bool HasCarriedException();
void RethrowCarriedException();

void DestroyAllWindows();
void ReleaseFonts();

}  // namespace rt
