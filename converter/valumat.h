// The converter's procedures.
#pragma once

#include "gui/window.h"

namespace valumat {

// Locale entries the program relies on; runs before Main.
void AppSys();
// Builds the converter window and runs the program's one event loop until the
// window is closed.
void Main();
// Opens a new information window; the focus goes back to `oFenster` when it
// is closed by its close or OK button.
void INFO_Euro(const rt::WindowRef& oFenster);

}  // namespace valumat
