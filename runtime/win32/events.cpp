// The event queue and the native message pump behind AppEvent.
#include <deque>
#include <map>

#include "../events.h"
#include "native.h"

namespace rt {

namespace {

struct QueuedEvent {
  long code;
  Value mp1;
  Value mp2;
  ObjectRef object;
};

std::deque<QueuedEvent>& Queue() {
  static std::deque<QueuedEvent> queue;
  return queue;
}

std::map<long, Value>& Handlers() {
  static std::map<long, Value> handlers;
  return handlers;
}

DWORD GuiThread() {
  static const DWORD thread = GetCurrentThreadId();
  return thread;
}

// Translates and dispatches one native message; false on WM_QUIT.
bool Pump(MSG& msg) {
  if (msg.message == WM_QUIT) return false;
  if (HandleMnemonic(msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

}  // namespace

bool PostAppEvent(long code, const Value& mp1, const Value& mp2, const ObjectRef& object) {
  Queue().push_back({code, mp1, mp2, object});
  // A post from another thread must wake the GUI thread's wait.
  if (GetCurrentThreadId() != GuiThread()) PostThreadMessageW(GuiThread(), WM_NULL, 0, 0);
  return true;
}

long AppEvent(Value& mp1, Value& mp2, ObjectRef& object, long timeout) {
  GuiThread();
  const ULONGLONG deadline = timeout > 0 ? GetTickCount64() + static_cast<ULONGLONG>(timeout) * 10 : 0;
  for (;;) {
    ReapDestroyedWindows();
    auto& queue = Queue();
    if (!queue.empty()) {
      QueuedEvent event = std::move(queue.front());
      queue.pop_front();
      mp1 = std::move(event.mp1);
      mp2 = std::move(event.mp2);
      object = std::move(event.object);
      return event.code;
    }
    MSG msg;
    if (timeout > 0) {
      if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
          mp1 = mp2 = Value();
          object = nullptr;
          return kEvNone;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        continue;
      }
    } else if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      msg.message = WM_QUIT;
    }
    if (!Pump(msg)) {
      // The session asks the program to end: the loop decides, as with a close.
      mp1 = mp2 = Value();
      object = AppDesktop();
      return kEvQuit;
    }
  }
}

Value SetAppEvent(long code) {
  auto it = Handlers().find(code);
  return it == Handlers().end() ? Value() : it->second;
}

Value SetAppEvent(long code, const Value& handler) {
  Value previous = SetAppEvent(code);
  if (handler.isNil()) {
    Handlers().erase(code);
  } else {
    Handlers()[code] = handler;
  }
  return previous;
}

}  // namespace rt
