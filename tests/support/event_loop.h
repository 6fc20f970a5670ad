// For tests that run windows of the runtime in their own process: running
// the event queue, native handles, and typing into controls. Header-only, as
// it needs the runtime, which the rest of the support library does not.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "events.h"
#include "gui/window.h"

namespace guitest {

struct Event {
  long code;
  rt::Value mp1;
  rt::Value mp2;
  rt::ObjectRef object;
};

// Runs the queue until it stays empty, handing each event to its object.
inline std::vector<Event> Drain() {
  std::vector<Event> seen;
  rt::Value mp1, mp2;
  rt::ObjectRef object;
  for (;;) {
    const long code = rt::AppEvent(mp1, mp2, object, 5);
    if (code == rt::kEvNone) break;
    seen.push_back({code, mp1, mp2, object});
    if (object) object->handleEvent(code, mp1, mp2);
  }
  return seen;
}

inline HWND H(const rt::WindowRef& w) { return w->nativeHandle(); }

// Owned native handles that `round` leaves held when it runs a second time:
// the first fills what the process keeps for good (fonts, comctl32).
inline long HandlesLeftBy(const std::function<void()>& round) {
  round();
  const long before = rt::LiveHandles();
  round();
  return rt::LiveHandles() - before;
}

// Pairs of numbers, compared by content (arrays compare by identity).
using P = std::pair<long, long>;
inline P Pair(const rt::Value& v) { return {v.at(1).integer(), v.at(2).integer()}; }

// Keys arrive through the message queue, one at a time, as typed keys do.
inline void Type(const rt::WindowRef& control, const std::wstring& keys) {
  for (wchar_t c : keys) PostMessageW(H(control), WM_CHAR, c, 1);
}

}  // namespace guitest
