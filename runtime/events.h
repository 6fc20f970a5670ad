// The event queue: every window of the program reports what happens to it as
// an event (code, two parameters, addressed object) that the application's
// loop fetches with AppEvent and hands back with handleEvent.
#pragma once

#include "value.h"

namespace rt {

inline constexpr long kEvBase = 1048576;
inline constexpr long kEvNone = 0;
inline constexpr long kEvKeyboard = kEvBase + 4;
inline constexpr long kEvSetInputFocus = kEvBase + 12;
// mp1 of a lost focus: true when it went to another window of the program,
// false when the user turned away from the program (another program took
// it, or the window was minimised); NIL where the control cannot tell.
inline constexpr long kEvKillInputFocus = kEvBase + 13;
inline constexpr long kEvActivate = kEvBase + 33;
// Controls: a check box, 3-state box or radio button changed by the user, or
// a menu item chosen (mp1: its 1-based index).
inline constexpr long kEvSelected = kEvBase + 34;
// An item marked (list box, combination box list, tree view) or chosen with a
// double click or Enter.
inline constexpr long kEvItemMarked = kEvBase + 35;
inline constexpr long kEvItemSelected = kEvBase + 36;
inline constexpr long kEvScroll = kEvBase + 37;
inline constexpr long kEvTabActivate = kEvBase + 38;
inline constexpr long kEvItemExpanded = kEvBase + 39;
inline constexpr long kEvItemCollapsed = kEvBase + 40;
// The value of a spin button or the text of an editor changed.
inline constexpr long kEvChange = kEvBase + 41;
// Codes from kEvBase + 100 to + 199 are free for kinds of control that need
// events of their own; each declares them in its header.
inline constexpr long kEvPaint = kEvBase + 50;
inline constexpr long kEvClose = kEvBase + 56;
inline constexpr long kEvMouseLbDown = kEvBase + 74;
inline constexpr long kEvMouseLbUp = kEvBase + 75;
inline constexpr long kEvMouseMove = kEvBase + 77;
// A session end or WM_QUIT reaches the loop as this event, addressed to the desktop.
inline constexpr long kEvQuit = kEvBase + 57;

// Key codes delivered with kEvKeyboard. Characters arrive as their code page
// 858 byte; keys without a character have codes of their own.
inline constexpr long kKeyBackspace = 8;
inline constexpr long kKeyTab = 9;
inline constexpr long kKeyEnter = 13;
inline constexpr long kKeyEsc = 27;
inline constexpr long kKeyHome = 1;
inline constexpr long kKeyRight = 4;
inline constexpr long kKeyUp = 5;
inline constexpr long kKeyEnd = 6;
inline constexpr long kKeyDelete = 7;
inline constexpr long kKeyLeft = 19;
inline constexpr long kKeyInsert = 22 + 256;  // 22 alone is Ctrl+V
inline constexpr long kKeyDown = 24;
inline constexpr long kKeyPgUp = 18;
inline constexpr long kKeyPgDn = 3 + 256;  // 3 alone is Ctrl+C
inline constexpr long kKeyShiftTab = 271;
inline constexpr long kKeyF1 = 28;  // F2..F10: -1..-9, F11/F12: -40/-41

// Waits for the next event of any window of the program and returns its code,
// filling its parameters and the object it is addressed to. `timeout` is in
// hundredths of a second; 0 waits without limit. A time-out yields kEvNone.
// An exception that escaped a handler inside a window procedure (a callback
// that broke out, a failed allocation) is rethrown here, in the loop, where
// the program's recovery blocks and the error system see it.
long AppEvent(Value& mp1, Value& mp2, ObjectRef& object, long timeout = 0);
// Appends an event to the queue; AppEvent returns it in order. Any thread may
// post; the program's GUI thread (the one calling AppEvent) takes.
bool PostAppEvent(long code, const Value& mp1, const Value& mp2, const ObjectRef& object);
// Handler registered for an event code, called by modal loops before the
// addressed object sees the event. Returns the previous handler (or NIL).
Value SetAppEvent(long code);
Value SetAppEvent(long code, const Value& handler);

}  // namespace rt
