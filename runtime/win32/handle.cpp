// Closing and counting the handles that Owned objects hold.
#include <windows.h>

#include <atomic>

#include "dyncalls.h"
#include "handle.h"

namespace rt {

namespace {
std::atomic<long> g_live[static_cast<int>(HandleKind::Count)];
}  // namespace

long LiveHandles(HandleKind kind) { return g_live[static_cast<int>(kind)].load(); }

long LiveHandles() {
  long sum = 0;
  for (const auto& n : g_live) sum += n.load();
  return sum;
}

namespace handle_detail {

void Count(HandleKind kind, int delta) { g_live[static_cast<int>(kind)] += delta; }

void Close(NativeBrush h) { DeleteObject(h); }
void Close(NativePen h) { DeleteObject(h); }
void Close(NativeFont h) { DeleteObject(h); }
void Close(NativeBitmap h) { DeleteObject(h); }
void Close(NativeIcon h) { DestroyIcon(h); }
void Close(NativeMenu h) { DestroyMenu(h); }
void CloseMemoryDC(NativeDC h) { DeleteDC(h); }
void Close(NativeModule h) { FreeLibrary(h); }
// Only opened where uxtheme is loaded, which then stays.
void CloseTheme(NativeTheme h) {
  if (const auto close = dyn::Themes().close) close(h);
}

}  // namespace handle_detail

}  // namespace rt
