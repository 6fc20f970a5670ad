// Start and end of a program on the runtime.
#pragma once

#include <functional>

namespace rt {

// Sets up the runtime (common controls, OLE, window classes), runs `program`
// and tears the runtime down: windows still open are destroyed and every GDI
// object released. Returns the exit code set with ErrorLevel (0 by default).
int Run(const std::function<void()>& program);

int ErrorLevel();
int ErrorLevel(int code);

}  // namespace rt
