#include <gtest/gtest.h>

#include "boxes.h"
#include "controls.h"
#include "events.h"
#include "support/form.h"
#include "support/heard.h"
#include "support/monitors.h"
#include "gui/native.h"

using namespace rt;
using valumat::XbpDialog;
using valumat::XbpPushButton;
using valumat::XbpSLE;
using valumat::XbpStatic;
using namespace guitest;

namespace {

// A dialog with two fields and a button that is no tab stop, as the converter has.
struct Fields : Form {
  std::shared_ptr<XbpSLE> upper = add<XbpSLE>(Value{44, 75}, Value{96, 24}, [](XbpSLE& f) { f.bufferLength = 20; });
  std::shared_ptr<XbpSLE> lower = add<XbpSLE>(Value{44, 40}, Value{96, 24}, [](XbpSLE& f) { f.bufferLength = 20; });
  std::shared_ptr<XbpPushButton> button = add<XbpPushButton>(Value{192, 40}, Value{76, 24}, [](XbpPushButton& b) {
    b.caption = " ~Beenden";
    b.tabStop = false;
  });

  Fields() : Form(Value{280, 140}, " Test") { show(lower); }
};

}  // namespace

TEST(EventQueue, EventsComeInOrderWithTheirParameters) {
  auto dlg = New<XbpDialog>();
  PostAppEvent(kEvActivate, 1, "a", dlg);
  PostAppEvent(kEvClose, NIL, NIL, dlg);
  Value mp1, mp2;
  ObjectRef object;
  EXPECT_EQ(AppEvent(mp1, mp2, object, 1), kEvActivate);
  EXPECT_EQ(mp1, Value(1));
  EXPECT_EQ(mp2, Value("a"));
  EXPECT_EQ(object, dlg);
  EXPECT_EQ(AppEvent(mp1, mp2, object, 1), kEvClose);
  EXPECT_TRUE(mp1.isNil());
  // Nothing left: a time-out, not a stale event.
  EXPECT_EQ(AppEvent(mp1, mp2, object, 1), kEvNone);
  EXPECT_EQ(object, nullptr);
}

TEST(EventQueue, ModalHandlersAreRegisteredPerCode) {
  EXPECT_TRUE(SetAppEvent(kEvClose).isNil());
  Value handler = [](const Args&) -> Value { return 1; };
  EXPECT_TRUE(SetAppEvent(kEvClose, handler).isNil());
  EXPECT_EQ(SetAppEvent(kEvClose), handler);
  EXPECT_EQ(SetAppEvent(kEvClose, NIL), handler);
  EXPECT_TRUE(SetAppEvent(kEvClose).isNil());
}

TEST(Windows, PositionsCountFromTheLowerLeftCorner) {
  Fields form;
  RECT r{};
  GetWindowRect(H(form.dlg), &r);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.bottom, screenHeight - 100);
  EXPECT_EQ(r.right - r.left, 280);
  EXPECT_EQ(r.bottom - r.top, 140);
  EXPECT_EQ(Pair(form.dlg->currentPos()), P(100, 100));
  // A control 40 pixels above the drawing area's bottom edge.
  RECT area{}, field{};
  GetWindowRect(H(form.dlg->drawingArea()), &area);
  GetWindowRect(H(form.lower), &field);
  EXPECT_EQ(area.bottom - field.bottom, 40);
  EXPECT_EQ(field.left - area.left, 44);
  EXPECT_EQ(Pair(form.lower->currentPos()), P(44, 40));
  EXPECT_EQ(Pair(form.lower->currentSize()), P(96, 24));
}

TEST(Windows, ChildrenInheritTheDrawingAreaFontAndColours) {
  Form form(Value{280, 140});
  auto area = form.area;
  area->setColorBG(15);
  area->setFontCompoundName("9.Arial Fett");
  auto label = New<XbpStatic>({area, NIL, Value{5, 5}, Value{20, 20}});
  label->caption = "DM";
  label->autoSize = true;
  label->create();
  auto own = New<XbpStatic>({area, NIL, Value{5, 40}, Value{100, 20}, Value{Value{kPPCompoundName, "10.Arial"}}});
  own->create();

  EXPECT_EQ(LogFontOf(label->resolvedFont()).lfWeight, FW_BOLD);
  EXPECT_EQ(LogFontOf(own->resolvedFont()).lfWeight, FW_NORMAL);
  EXPECT_EQ(label->resolvedBackground(), RGB(192, 192, 192));
  // autoSize: the text's extent, lower-left corner kept.
  EXPECT_NE(Pair(label->currentSize()), P(20, 20));
  EXPECT_EQ(Pair(label->currentPos()), P(5, 5));
}

TEST(EntryField, KeysReachTheCallbackAfterTheyChangedTheTextEscapeAndEnterChangeNothing) {
  Fields form;
  Heard seen;  // "key:text"
  form.lower->keyboard =
      seen.block({}, [&](const Args& a) { return Heard::First(a) + ":" + form.lower->editBuffer(); });
  Type(form.lower, L"12\b");
  Drain();
  EXPECT_EQ(seen.take(), (Lines{"49:1", "50:12", std::to_string(kKeyBackspace) + ":1"}));

  // Keys without a character come as their own codes, also after taking effect.
  PostMessageW(H(form.lower), WM_KEYDOWN, VK_HOME, 1);
  PostMessageW(H(form.lower), WM_KEYDOWN, VK_DELETE, 1);
  Drain();
  const Lines keys = seen.take();
  ASSERT_FALSE(keys.empty());
  EXPECT_EQ(keys.back(), std::to_string(kKeyDelete) + ":");

  Type(form.lower, L"7\x1b\r");
  Drain();
  EXPECT_EQ(seen.take(), (Lines{"55:7", std::to_string(kKeyEsc) + ":7", std::to_string(kKeyEnter) + ":7"}));
}

TEST(EntryField, TabMovesBetweenTabStopsOnlyAndLeavingFiresKillInputFocus) {
  Fields form;
  int lowerLeft = 0, upperLeft = 0;
  form.lower->killInputFocus = [&](const Args&) -> Value { return ++lowerLeft; };
  form.upper->killInputFocus = [&](const Args&) -> Value { return ++upperLeft; };
  EXPECT_EQ(GetFocus(), H(form.lower));
  Type(form.lower, L"\t");
  Drain();
  EXPECT_EQ(GetFocus(), H(form.upper));  // the button is no tab stop
  EXPECT_EQ(lowerLeft, 1);
  Type(form.upper, L"\t");
  Drain();
  EXPECT_EQ(GetFocus(), H(form.lower));
  EXPECT_EQ(upperLeft, 1);
  // Any other taker of the focus counts too.
  SetFocus(H(form.button));
  Drain();
  EXPECT_EQ(lowerLeft, 2);
}

TEST(EntryField, DataLinkBufferLengthAndMarkedRange) {
  Fields form;
  double amount = 1.5;
  int linkCalls = 0;
  form.upper->dataLink = [&](const Args& a) -> Value {
    ++linkCalls;
    if (PCount(a) == 0) return "1,5";
    amount = Arg(a, 1).text().size();
    return amount;
  };
  form.upper->setData();
  EXPECT_EQ(form.upper->editBuffer(), "1,5");
  form.upper->setData("123456");
  EXPECT_EQ(linkCalls, 1);  // a given text does not run the link
  EXPECT_EQ(form.upper->getData(), "123456");
  EXPECT_EQ(amount, 6);
  form.upper->setMarked(Value{2, 5});
  EXPECT_EQ(Pair(form.upper->queryMarked()), P(2, 5));

  form.upper->setData(std::string(25, '9'));
  EXPECT_EQ(form.upper->editBuffer().size(), 20u);
  form.upper->clear();
  SetFocus(H(form.upper));
  Type(form.upper, std::wstring(25, L'8'));
  Drain();
  EXPECT_EQ(form.upper->editBuffer(), std::string(20, '8'));
  // Code page 858 inside, UTF-16 at the control.
  form.upper->setData("\xd5");
  EXPECT_EQ(WindowTextOf(H(form.upper)), L"\u20ac");
}

TEST(PushButton, ClickMnemonicAndPostedActivateRunTheCallback) {
  Fields form;
  int activations = 0;
  form.button->activate = [&](const Args& a) -> Value {
    EXPECT_EQ(Arg(a, 3).object(), form.button);
    return ++activations;
  };
  SendMessageW(H(form.button), BM_CLICK, 0, 0);
  Drain();
  EXPECT_EQ(activations, 1);
  PostAppEvent(kEvActivate, NIL, NIL, form.button);
  Drain();
  EXPECT_EQ(activations, 2);
  // Alt+B anywhere in the window presses " ~Beenden".
  PostMessageW(H(form.lower), WM_SYSCHAR, L'b', 1 << 29);
  Drain();
  EXPECT_EQ(activations, 3);
  EXPECT_EQ(form.button->mnemonic(), 'B');
}

TEST(Lifetime, DestroyedWindowsAreReleasedDespiteCallbacksThatReferThemselves) {
  std::weak_ptr<XbpDialog> watch;
  {
    auto dlg = New<XbpDialog>({AppDesktop(), NIL, Value{10, 10}, Value{200, 100}, NIL, false});
    dlg->create();
    dlg->close = [dlg](const Args&) -> Value {
      dlg->destroy();
      return NIL;
    };
    watch = dlg;
    SendMessageW(H(dlg), WM_CLOSE, 0, 0);
  }
  Drain();  // the close event runs the callback, which destroys the window
  EXPECT_TRUE(watch.expired());
}

TEST(Lifetime, EventsForDestroyedWindowsAreIgnored) {
  int calls = 0;
  auto dlg = New<XbpDialog>({AppDesktop(), NIL, Value{10, 10}, Value{200, 100}, NIL, false});
  dlg->create();
  dlg->keyboard = [&](const Args&) -> Value { return ++calls; };
  PostAppEvent(kEvKeyboard, 65, NIL, dlg);
  dlg->destroy();
  Drain();
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(dlg->isCreated());
}

TEST(Windows, EntryFieldsShowTheSystemWindowColoursUnlessGivenTheirOwn) {
  Form form(Value{280, 140});
  auto area = form.area;
  area->setColorBG(15);
  area->setColorFG(2);
  auto plain = New<XbpSLE>({area, NIL, Value{5, 5}, Value{100, 24}});
  plain->create();
  auto own = New<XbpSLE>({area, NIL, Value{5, 40}, Value{100, 24}, Value{Value{kPPBackground, 3}}});
  own->create();
  auto label = New<XbpStatic>({area, NIL, Value{5, 80}, Value{100, 20}});
  label->create();

  EXPECT_EQ(plain->resolvedBackground(), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(plain->resolvedForeground(), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(own->resolvedBackground(), RGB(255, 0, 255));
  // Labels go on showing the area's colours.
  EXPECT_EQ(label->resolvedBackground(), RGB(192, 192, 192));
  EXPECT_EQ(label->resolvedForeground(), RGB(255, 0, 0));
  // What the field is told when it paints.
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageW(H(area), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(H(plain)));
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
  DeleteDC(dc);
}

TEST(Lifetime, ADialogCreatedAgainTakesItsControlsBack) {
  Form form(Value{280, 140});
  auto dlg = form.dlg;
  auto area = form.area;
  area->setColorBG(14);
  auto field = New<XbpSLE>({area, NIL, Value{44, 40}, Value{96, 24}});
  field->create();
  dlg->destroy();
  Drain();
  dlg->create();
  EXPECT_EQ(dlg->drawingArea(), area);
  EXPECT_TRUE(area->isCreated());
  field->create();
  ASSERT_TRUE(field->isCreated());
  EXPECT_EQ(GetParent(H(field)), H(dlg->drawingArea()));
  EXPECT_EQ(Pair(field->currentPos()), P(44, 40));
  EXPECT_EQ(area->resolvedBackground(), ColorOf(14));
}

TEST(Windows, ChildrenShowAColourTheirParentIsGivenLater) {
  Form form(Value{280, 140});
  auto dlg = form.dlg;
  auto area = form.area;
  auto label = New<XbpStatic>({area, NIL, Value{5, 5}, Value{120, 40}});
  label->caption = "DM";
  label->create();
  form.show();
  auto pixel = [&] {
    UpdateWindow(H(dlg));
    HDC dc = GetDC(H(label));
    const COLORREF c = GetPixel(dc, 110, 30);
    ReleaseDC(H(label), dc);
    return c;
  };
  EXPECT_NE(pixel(), ColorOf(14));
  area->setColorBG(14);
  EXPECT_EQ(pixel(), ColorOf(14));
}

namespace {

// What Windows decides for a top-level window: a task-bar button for an
// application window, or for an unowned one that is no tool window; none for
// an owned one or a tool window.
bool HasTaskBarButton(HWND hwnd) {
  const LONG exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
  if (exStyle & WS_EX_APPWINDOW) return true;
  return !GetWindow(hwnd, GW_OWNER) && !(exStyle & WS_EX_TOOLWINDOW);
}

}  // namespace

TEST(Windows, TaskListDecidesOnTheTaskBarButtonAndTheFrameStaysNormal) {
  auto on = New<XbpDialog>({AppDesktop(), NIL, Value{100, 100}, Value{280, 140}});
  on->taskList = true;
  on->create();
  auto off = New<XbpDialog>({AppDesktop(), NIL, Value{120, 120}, Value{280, 140}});
  off->create();  // taskList false by default
  // An owner given by the program stays the owner, either way.
  auto ownedOff = New<XbpDialog>({AppDesktop(), on, Value{140, 140}, Value{280, 140}});
  ownedOff->create();
  auto ownedOn = New<XbpDialog>({AppDesktop(), off, Value{160, 160}, Value{280, 140}});
  ownedOn->taskList = true;
  ownedOn->create();
  Drain();

  EXPECT_TRUE(HasTaskBarButton(H(on)));
  EXPECT_FALSE(HasTaskBarButton(H(off)));
  EXPECT_FALSE(HasTaskBarButton(H(ownedOff)));
  EXPECT_TRUE(HasTaskBarButton(H(ownedOn)));
  EXPECT_EQ(GetWindow(H(ownedOff), GW_OWNER), H(on));
  EXPECT_EQ(GetWindow(H(ownedOn), GW_OWNER), H(off));
  // Kept off by an owner nobody sees: no tool window, no button of its own.
  const HWND hidden = GetWindow(H(off), GW_OWNER);
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(IsWindowVisible(hidden));
  for (const auto& dlg : {on, off, ownedOff, ownedOn}) {
    EXPECT_TRUE(IsWindowVisible(H(dlg)));
    EXPECT_FALSE(GetWindowLongW(H(dlg), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(GetWindowLongW(H(dlg), GWL_STYLE) & WS_CAPTION);
  }

  // That owner outlives the windows it keeps off and serves the next one.
  ownedOn->destroy();
  ownedOff->destroy();
  off->destroy();
  Drain();
  EXPECT_TRUE(IsWindow(hidden));
  off->create();
  EXPECT_EQ(GetWindow(H(off), GW_OWNER), hidden);
  off->destroy();
  on->destroy();
  Drain();
}

// --- several monitors --------------------------------------------------------

TEST(Placement, AWindowStaysOnTheMonitorItIsAskedForAndWithinItsWorkArea) {
  FakeMonitors monitors(ThreeMonitors());
  const long w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  const struct {
    const char* what;
    long left, top;          // a 300 x 200 frame asked for
    long wantLeft, wantTop;  // opened at
  } cases[] = {
      {"on the right monitor", w + 100, 100, w + 100, 100},
      {"on the monitor above and left", -1000, -800, -1000, -800},
      {"over the right monitor's right edge", w + 1500, 300, w + 1300, 300},
      {"over the right monitor's top", w + 100, -300, w + 100, -200},
      {"over the primary's task bar", 100, h - 150, 100, h - 240},
      {"on no monitor, nearest the one above", -1000, 100, -1000, -240},
  };
  for (const auto& c : cases) {
    Form form(Value{300, 200}, "", Value{c.left, h - c.top - 200});
    const RECT r = [&] { RECT f{}; GetWindowRect(H(form.dlg), &f); return f; }();
    EXPECT_EQ(r, (RECT{c.wantLeft, c.wantTop, c.wantLeft + 300, c.wantTop + 200})) << c.what;
  }
}

namespace {

struct BoxSeen {
  HWND owner;
  RECT frame;
};
BoxSeen g_box;

BOOL CALLBACK FindBox(HWND hwnd, LPARAM found) {
  wchar_t name[16]{};
  GetClassNameW(hwnd, name, 16);
  if (std::wstring(name) == L"#32770" && IsWindowVisible(hwnd)) *reinterpret_cast<HWND*>(found) = hwnd;
  return TRUE;
}

// Answers the thread's box with its first option once it shows, noting its
// owner and frame.
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  KillTimer(nullptr, timer);
  g_box.owner = GetWindow(box, GW_OWNER);
  GetWindowRect(box, &g_box.frame);
  PostMessageW(box, WM_COMMAND, 1001, 0);
}

}  // namespace

TEST(Placement, ABoxOpensInTheMiddleOfItsOwnersMonitor) {
  FakeMonitors monitors(ThreeMonitors());
  const long h = GetSystemMetrics(SM_CYSCREEN);
  const struct {
    long left, top;  // the owner's top-left corner
    size_t monitor;
  } cases[] = {{100, 100, 0}, {GetSystemMetrics(SM_CXSCREEN) + 700, 500, 1}, {-1200, -900, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.monitor);
    Form owner(Value{300, 200}, "Besitzer", Value{c.left, h - c.top - 200});
    owner.show();
    ASSERT_EQ(GetActiveWindow(), H(owner.dlg));
    g_box = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, AnswerBox);
    EXPECT_EQ(Alert("Weiter?", {"Ja", "Nein"}, "Frage"), 1);  // the timer answers the box
    KillTimer(nullptr, timer);
    ASSERT_EQ(g_box.owner, H(owner.dlg));
    const RECT& work = monitors[c.monitor].work;
    EXPECT_NEAR(g_box.frame.left + g_box.frame.right, work.left + work.right, 1);
    EXPECT_NEAR(g_box.frame.top + g_box.frame.bottom, work.top + work.bottom, 1);
  }
}
