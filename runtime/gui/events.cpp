// The event queue and the native message pump behind AppEvent.
#include <atomic>
#include <deque>
#include <map>
#include <mutex>

#include "../events.h"
#include "dragdrop.h"
#include "native.h"

namespace rt {

namespace {

struct QueuedEvent {
  long code;
  Value mp1;
  Value mp2;
  ObjectRef object;
};

// Any thread may post; the GUI thread takes. Handlers are set and read under
// the same lock.
struct EventQueue {
  std::mutex mutex;
  std::deque<QueuedEvent> events;
  std::map<long, Value> handlers;
};

EventQueue& Queue() {
  static EventQueue queue;
  return queue;
}

// The program's GUI thread: the one that runs rt::Run, or, in a program
// without it, the first to take an event.
std::atomic<DWORD> g_guiThread{0};

bool TakeEvent(QueuedEvent& event) {
  EventQueue& q = Queue();
  std::lock_guard lock(q.mutex);
  if (q.events.empty()) return false;
  event = std::move(q.events.front());
  q.events.pop_front();
  return true;
}

}  // namespace

bool (*HandlePageKeys)(const MSG& msg) = nullptr;

namespace {

// Translates and dispatches one native message; false on WM_QUIT.
bool Pump(MSG& msg) {
  if (msg.message == WM_QUIT) return false;
  if (HandleMenuKeys(msg) || HandleMnemonic(msg) || (HandlePageKeys && HandlePageKeys(msg))) return true;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

}  // namespace

bool PostAppEvent(long code, const Value& mp1, const Value& mp2, const ObjectRef& object) {
  {
    EventQueue& q = Queue();
    std::lock_guard lock(q.mutex);
    q.events.push_back({code, mp1, mp2, object});
  }
  // A post from another thread must wake the GUI thread's wait; so must one
  // from a message another thread sent, which the GUI thread handles inside
  // its wait without returning from it.
  const DWORD gui = GuiThread();
  if (gui && (GetCurrentThreadId() != gui || InSendMessage())) PostThreadMessageW(gui, WM_NULL, 0, 0);
  return true;
}

DWORD GuiThread() { return g_guiThread.load(); }

void BindGuiThread() { g_guiThread = GetCurrentThreadId(); }

long AppEvent(Value& mp1, Value& mp2, ObjectRef& object, long timeout) {
  DWORD expected = 0;
  g_guiThread.compare_exchange_strong(expected, GetCurrentThreadId());
  const ULONGLONG deadline = timeout > 0 ? GetTickCount64() + static_cast<ULONGLONG>(timeout) * 10 : 0;
  for (;;) {
    ReapDestroyedWindows();
    // What a window procedure could not throw, the loop throws.
    RethrowCarriedException();
    QueuedEvent event;
    if (TakeEvent(event)) {
      mp1 = std::move(event.mp1);
      mp2 = std::move(event.mp2);
      object = std::move(event.object);
      return event.code;
    }
    MSG msg;
    // Drop targets start from the first moment with nothing to do, so that
    // OLE never delays the first painting.
    if (DropTargetsPending() && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) StartDropTargetsWhenIdle();
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
  EventQueue& q = Queue();
  std::lock_guard lock(q.mutex);
  auto it = q.handlers.find(code);
  return it == q.handlers.end() ? Value() : it->second;
}

Value SetAppEvent(long code, const Value& handler) {
  EventQueue& q = Queue();
  std::lock_guard lock(q.mutex);
  auto it = q.handlers.find(code);
  Value previous = it == q.handlers.end() ? Value() : it->second;
  if (handler.isNil()) {
    q.handlers.erase(code);
  } else {
    q.handlers[code] = handler;
  }
  return previous;
}

}  // namespace rt
