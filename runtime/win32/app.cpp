// Runtime start-up and tear-down.
#include "native.h"

#include <commctrl.h>
#include <ole2.h>

#include "../runtime.h"

namespace rt {

namespace {
int g_errorLevel = 0;
}

int ErrorLevel() { return g_errorLevel; }

int ErrorLevel(int code) {
  const int previous = g_errorLevel;
  g_errorLevel = code;
  return previous;
}

int Run(const std::function<void()>& program) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  // Drag and drop needs OLE on the GUI thread.
  const HRESULT ole = OleInitialize(nullptr);
  RegisterWindowClasses();
  program();
  DestroyAllWindows();
  ReleaseFonts();
  if (SUCCEEDED(ole)) OleUninitialize();
  return ErrorLevel();
}

}  // namespace rt
