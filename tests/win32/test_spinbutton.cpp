// Spin buttons: the entry field and its up-down arrows driven as a user
// drives them, read back through Win32 and through the runtime.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

#include "dialog.h"
#include "events.h"
#include "sle.h"
#include "spinbutton.h"
#include "support/every_kind.h"
#include "support/heard.h"
#include "win32/dyncalls.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;
using valumat::XbpSpinButton;

namespace {

// Takes over the focus-loss processing, as a derived class of the
// application may, and records what it saw.
class CheckedSpin : public XbpSpinButton {
  RT_CLASS("CheckedSpin", CheckedSpin, XbpSpinButton)

 public:
  std::vector<std::string> typedAtLoss;
  Value KillInputFocus() override {
    typedAtLoss.push_back(XbpBaseSLE::editBuffer());
    return XbpSpinButton::KillInputFocus();
  }
};

// A shown dialog with a spin button (0..999 unless set up otherwise) and an
// entry field after it; the spin button has the focus.
template <class Spin = XbpSpinButton>
struct Counter : Form {
  std::shared_ptr<Spin> spin;
  std::shared_ptr<valumat::XbpSLE> other;

  explicit Counter(const std::function<void(Spin&)>& setUp = {}, const Value& presentation = Value())
      : Form(Value{300, 160}) {
    spin = this->template add<Spin>(Value{20, 80}, Value{100, 24}, [&](Spin& s) {
      s.setNumLimits(0, 999);
      if (setUp) setUp(s);
    }, presentation);
    other = add<valumat::XbpSLE>(Value{20, 30}, Value{100, 24});
    show(spin);
  }
  HWND field() const { return H(spin); }
  std::wstring shown() const { return WindowTextOf(field()); }
  // The up-down control whose buddy the field is.
  HWND arrows() const {
    for (HWND w = GetWindow(GetParent(field()), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
      wchar_t cls[64] = {};
      GetClassNameW(w, cls, 64);
      if (lstrcmpiW(cls, UPDOWN_CLASSW) == 0 && reinterpret_cast<HWND>(SendMessageW(w, UDM_GETBUDDY, 0, 0)) == field())
        return w;
    }
    return nullptr;
  }
  // A click on the upper or lower arrow.
  void click(bool upper) const {
    RECT r{};
    GetClientRect(arrows(), &r);
    const LPARAM at = MAKELPARAM(r.right / 2, upper ? r.bottom / 4 : r.bottom * 3 / 4);
    PostMessageW(arrows(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(arrows(), WM_LBUTTONUP, 0, at);
    Drain();
  }
  void key(WPARAM vk) const {
    PostMessageW(field(), WM_KEYDOWN, vk, 1);
    Drain();
  }
  // The user marks the whole text and types over it.
  void retype(const std::wstring& keys) const {
    SendMessageW(field(), EM_SETSEL, 0, -1);
    Type(spin, keys);
    Drain();
  }
};

}  // namespace

TEST(SpinButton, NumbersAndTextsGoInAsValuesWithinTheLimits) {
  std::vector<long> handed;
  Counter<> form([&](XbpSpinButton& s) {
    s.setData(7);  // before the field exists
    s.dataLink = [&](const Args& a) -> Value {
      if (PCount(a) == 0) return "  42 St\x81" "ck";
      handed.push_back(Arg(a, 1).integer());
      return NIL;
    };
  });
  EXPECT_EQ(form.shown(), L"7");
  // The last text spells no number.
  for (const auto& [in, shown] : std::initializer_list<std::pair<Value, std::wstring>>{
           {"123", L"123"}, {12.6, L"13"}, {5000, L"999"}, {"-3", L"0"}, {"Gr\x94\xe1" "e \xd5", L"0"}}) {
    form.spin->setData(in);
    EXPECT_EQ(form.shown(), shown) << Text(in);
  }
  EXPECT_FALSE(form.spin->setData(Value(true)));
  form.spin->setData();
  EXPECT_EQ(form.shown(), L"42");
  EXPECT_EQ(form.spin->getData(), 42);
  EXPECT_EQ(handed, std::vector<long>{42});

  // New limits move the value within them.
  form.spin->setNumLimits(100, 50);
  EXPECT_EQ(Pair(form.spin->numLimits()), P(50, 100));
  EXPECT_EQ(form.shown(), L"50");
  // The field takes no more characters than the widest limit has.
  EXPECT_EQ(SendMessageW(form.field(), EM_GETLIMITTEXT, 0, 0), 3);
}

TEST(SpinButton, PadWithZerosShowsTheWidthOfTheUpperLimit) {
  Counter<> form([](XbpSpinButton& s) {
    s.PadWithZeros = true;
    s.setData(7);
  });
  EXPECT_EQ(form.shown(), L"007");
  EXPECT_EQ(form.spin->editBuffer(), "007");
  form.key(VK_UP);
  EXPECT_EQ(form.shown(), L"008");
  form.spin->setNumLimits(-50, 999);
  form.spin->setData(-7);
  EXPECT_EQ(form.shown(), L"-007");
  EXPECT_EQ(SendMessageW(form.field(), EM_GETLIMITTEXT, 0, 0), 4);
}

TEST(SpinButton, TheFieldsTextAndTheValueItSpellsAreReadApart) {
  Counter<> form([](XbpSpinButton& s) {
    s.PadWithZeros = true;
    s.setNumLimits(0, 500);
  });
  form.retype(L"9");
  // The entry field's reading: what stands there now.
  EXPECT_EQ(form.spin->XbpBaseSLE::editBuffer(), "9");
  // The spin button's reading: the value as it will show it.
  EXPECT_EQ(form.spin->editBuffer(), "009");
  EXPECT_EQ(form.spin->getData(), 9);
  form.retype(L"777");
  EXPECT_EQ(form.spin->XbpBaseSLE::editBuffer(), "777");
  EXPECT_EQ(form.spin->editBuffer(), "500");
  EXPECT_EQ(form.spin->getData(), 500);
  EXPECT_EQ(form.shown(), L"777");  // reading changes nothing
}

TEST(SpinButton, ArrowsAndKeysStepWithinTheLimitsAndReportTheNewValue) {
  Heard ups, downs, changes;
  std::vector<std::wstring> shownAtKey;
  Counter<> form([&](XbpSpinButton& s) {
    s.setNumLimits(0, 20);
    s.step = 5;
    s.setData(10);
  });
  form.spin->up = ups.block();
  form.spin->down = downs.block();
  form.spin->change = changes.block();
  form.spin->keyboard = [&](const Args&) -> Value {
    shownAtKey.push_back(form.shown());
    return NIL;
  };
  ASSERT_NE(form.arrows(), nullptr);
  form.click(true);
  EXPECT_EQ(form.shown(), L"15");
  form.key(VK_UP);
  EXPECT_EQ(form.shown(), L"20");
  EXPECT_EQ(shownAtKey, std::vector<std::wstring>{L"20"});  // the key after its step
  form.key(VK_UP);  // at the limit: reported, nothing changes
  EXPECT_EQ(form.shown(), L"20");
  form.click(false);
  form.key(VK_DOWN);
  EXPECT_EQ(form.shown(), L"10");
  EXPECT_EQ(ups.take(), (Lines{"15", "20", "20"}));
  EXPECT_EQ(downs.take(), (Lines{"15", "10"}));
  EXPECT_EQ(changes.take(), (Lines{"15", "20", "15", "10"}));
  EXPECT_EQ(form.spin->getData(), 10);

  // A typed value is where the next step starts.
  form.retype(L"3");
  form.key(VK_UP);
  EXPECT_EQ(form.shown(), L"8");

  // Only on request does a step past a limit go on at the other one.
  form.spin->wrap = true;
  form.spin->setData(0);
  form.click(false);
  EXPECT_EQ(form.shown(), L"20");
  form.key(VK_UP);
  EXPECT_EQ(form.shown(), L"0");
  // A step of nothing still moves.
  form.spin->step = 0;
  form.key(VK_UP);
  EXPECT_EQ(form.shown(), L"1");
}

TEST(SpinButton, ChangesByTheProgramFireNothing) {
  Heard heard;
  Counter<> form;
  form.spin->up = heard.block("up");
  form.spin->down = heard.block("down");
  form.spin->change = heard.block("change");
  form.spin->setData(5);
  form.spin->setData("6");
  form.spin->setNumLimits(0, 3);
  Drain();
  EXPECT_EQ(heard.take(), Lines{});
}

TEST(SpinButton, TypedTextKeepsToDigitsAndALeadingMinus) {
  Counter<> form([](XbpSpinButton& s) { s.setNumLimits(0, 999); });
  form.retype(L"1a-2,\u00e43");
  EXPECT_EQ(form.shown(), L"123");

  form.spin->setNumLimits(-99, 99);
  form.retype(L"4-");  // a minus only in front
  EXPECT_EQ(form.shown(), L"4");
  SendMessageW(form.field(), EM_SETSEL, 0, 0);
  Type(form.spin, L"-");
  Drain();
  EXPECT_EQ(form.shown(), L"-4");
  SendMessageW(form.field(), EM_SETSEL, 0, 0);
  Type(form.spin, L"5-");  // nothing goes before the sign
  Drain();
  EXPECT_EQ(form.shown(), L"-4");
  // Keys that edit still do.
  PostMessageW(form.field(), WM_KEYDOWN, VK_DELETE, 1);
  PostMessageW(form.field(), WM_KEYDOWN, VK_END, 1);
  Type(form.spin, L"\b7");
  Drain();
  EXPECT_EQ(form.shown(), L"7");
}

TEST(SpinButton, LeavingTheFieldRunsKillInputFocusWhichShowsTheValueInItsForm) {
  std::vector<std::wstring> shownAtCallback;
  Heard changes;
  Counter<CheckedSpin> form([](CheckedSpin& s) {
    s.PadWithZeros = true;
    s.setNumLimits(0, 100);
  });
  form.spin->change = changes.block();
  form.spin->killInputFocus = [&](const Args& a) -> Value {
    EXPECT_EQ(Arg(a, 3).object(), form.spin);
    shownAtCallback.push_back(form.shown());
    return NIL;
  };
  form.retype(L"250");
  Type(form.spin, L"\t");
  Drain();
  EXPECT_EQ(GetFocus(), H(form.other));
  // The override ran in place of the runtime's processing, and called it.
  EXPECT_EQ(form.spin->typedAtLoss, std::vector<std::string>{"250"});
  EXPECT_EQ(form.shown(), L"100");
  EXPECT_EQ(shownAtCallback, std::vector<std::wstring>{L"100"});
  EXPECT_EQ(changes.take(), Lines{"100"});

  // Leaving again without typing changes nothing; any taker of the focus counts.
  SetFocus(form.field());
  SetFocus(H(form.other));
  Drain();
  EXPECT_EQ(form.spin->typedAtLoss.size(), 2u);
  EXPECT_EQ(shownAtCallback.size(), 2u);
  EXPECT_EQ(changes.size(), 0u);
}

TEST(SpinButton, TheArrowsSitBesideTheFieldAndFollowIt) {
  Counter<> form;
  EXPECT_TRUE(dyn::CommonControlsLoaded());
  HWND arrows = form.arrows();
  ASSERT_NE(arrows, nullptr);
  EXPECT_FALSE(GetWindowLongPtrW(arrows, GWL_STYLE) & WS_TABSTOP);
  // Field and arrows together fill the size given.
  EXPECT_EQ(Pair(form.spin->currentSize()), P(100, 24));
  RECT field{}, box{};
  GetWindowRect(form.field(), &field);
  GetWindowRect(arrows, &box);
  EXPECT_EQ(box.left, field.right);
  EXPECT_EQ(box.right - field.left, 100);
  EXPECT_EQ(box.top, field.top);

  form.spin->setPosAndSize(Value{40, 60}, Value{150, 30});
  EXPECT_EQ(Pair(form.spin->currentPos()), P(40, 60));
  EXPECT_EQ(Pair(form.spin->currentSize()), P(150, 30));
  GetWindowRect(form.field(), &field);
  GetWindowRect(arrows, &box);
  EXPECT_EQ(box.left, field.right);
  EXPECT_EQ(box.bottom - box.top, 30);
  form.spin->setPos(Value{10, 10});
  EXPECT_EQ(Pair(form.spin->currentSize()), P(150, 30));
  GetWindowRect(form.field(), &field);
  GetWindowRect(arrows, &box);
  EXPECT_EQ(box.left, field.right);

  form.spin->hide();
  EXPECT_FALSE(IsWindowVisible(arrows));
  form.spin->show();
  EXPECT_TRUE(IsWindowVisible(arrows));
  form.spin->disable();
  EXPECT_FALSE(IsWindowEnabled(arrows));
  form.spin->enable();
  EXPECT_TRUE(IsWindowEnabled(arrows));
}

TEST(SpinButton, PresentationColoursAndFontReachTheField) {
  const COLORREF fg = RGB(128, 0, 0), bg = RGB(0, 255, 255);
  Counter<> form({}, Value{Value{kPPForeground, static_cast<long>(fg | 0x1000000)},
                           Value{kPPBackground, static_cast<long>(bg | 0x1000000)},
                           Value{kPPCompoundName, "10.Arial Fett"}});
  EXPECT_EQ(FontOfControl(form.field()).lfWeight, FW_BOLD);
  // The field paints its empty part in the background colour.
  RedrawWindow(form.field(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  WindowDC screen(form.field());
  RECT client{};
  GetClientRect(form.field(), &client);
  EXPECT_EQ(GetPixel(screen.get(), client.right - 3, client.bottom / 2), bg);
  // The text in the foreground colour: somewhere in the "0" at the left.
  bool inkFound = false;
  for (int x = 0; x < client.right / 2 && !inkFound; ++x) {
    for (int y = 0; y < client.bottom && !inkFound; ++y) inkFound = GetPixel(screen.get(), x, y) == fg;
  }
  EXPECT_TRUE(inkFound);
}

TEST(SpinButton, DestroyTakesTheArrowsAlongDropsCallbacksAndGivesBackHandles) {
  std::shared_ptr<XbpSpinButton> gone;
  HWND arrows = nullptr;
  EXPECT_EQ(HandlesLeftBy([&] {
              Counter<> form({}, Value{Value{kPPBackground, 14}});
              form.spin->up = [](const Args&) -> Value { return NIL; };
              form.spin->change = [](const Args&) -> Value { return NIL; };
              form.spin->dataLink = [](const Args&) -> Value { return NIL; };
              form.click(true);
              form.retype(L"77");
              arrows = form.arrows();
              form.spin->destroy();
              gone = form.spin;
            }),
            0);
  EXPECT_FALSE(IsWindow(arrows));
  EXPECT_TRUE(gone->up.isNil());
  EXPECT_TRUE(gone->change.isNil());
  EXPECT_TRUE(gone->killInputFocus.isNil());
  EXPECT_TRUE(gone->dataLink.isNil());
  // What the field showed last, typed and never taken, stays readable.
  EXPECT_EQ(gone->XbpBaseSLE::editBuffer(), "77");
  EXPECT_EQ(gone->getData(), 77);

  // Going with its dialog, the spin button takes its arrows along too.
  HWND left = nullptr;
  {
    Counter<> form;
    left = form.arrows();
  }
  EXPECT_FALSE(IsWindow(left));
}

TEST(SpinButton, ATypedValueOutlastsDestroyAndCreateAgain) {
  Counter<> form([](XbpSpinButton& s) { s.PadWithZeros = true; });
  form.spin->setData(5);
  form.retype(L"77");
  form.spin->destroy();
  Drain();
  EXPECT_EQ(form.spin->getData(), 77);
  // Created again, the field shows what getData answered, in its form.
  form.spin->create();
  EXPECT_EQ(form.shown(), L"077");
  EXPECT_EQ(form.spin->getData(), 77);
}

namespace {

// What the field is told to show, in order, and where the runtime's focus
// processing ends (its killInputFocus callback): "|".
std::vector<std::wstring> g_shownSteps;
HWND g_watchedField = nullptr;

LRESULT CALLBACK WatchSetText(int code, WPARAM wparam, LPARAM lparam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && sent->hwnd == g_watchedField && sent->message == WM_SETTEXT)
    g_shownSteps.emplace_back(reinterpret_cast<const wchar_t*>(sent->lParam));
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Types `keys` over the field's text, leaves it with Tab and answers the
// texts set on the field while the focus processing ran.
std::vector<std::wstring> LeaveAfterTyping(Counter<>& form, const std::wstring& keys) {
  SetFocus(form.field());
  form.retype(keys);
  g_shownSteps.clear();
  g_watchedField = form.field();
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchSetText, nullptr, GetCurrentThreadId());
  Type(form.spin, L"\t");
  Drain();
  UnhookWindowsHookEx(hook);
  g_watchedField = nullptr;
  return g_shownSteps;
}

}  // namespace

TEST(SpinButton, WithZerosLeavingSetsTheTypedValueAgainBeforeTheRuntimesProcessing) {
  using Steps = std::vector<std::wstring>;
  Heard changes;
  Counter<> form([](XbpSpinButton& s) { s.PadWithZeros = true; });
  form.spin->change = changes.block();
  form.spin->killInputFocus = [](const Args&) -> Value {
    g_shownSteps.emplace_back(L"|");
    return NIL;
  };
  // Set as the value first, then shown again by the runtime, which ends with
  // the callback.
  EXPECT_EQ(LeaveAfterTyping(form, L"7"), (Steps{L"007", L"007", L"|"}));
  EXPECT_EQ(form.shown(), L"007");
  // The text is set by the class, the change is still the user's.
  EXPECT_EQ(changes.take(), Lines{"7"});
  // A leading zero: only the runtime's processing.
  EXPECT_EQ(LeaveAfterTyping(form, L"012"), (Steps{L"012", L"|"}));
  EXPECT_EQ(changes.take(), Lines{"12"});
  // Nothing typed: the empty text is set, the lower limit shows.
  EXPECT_EQ(LeaveAfterTyping(form, L"\b"), (Steps{L"000", L"000", L"|"}));
  EXPECT_EQ(form.shown(), L"000");
  EXPECT_EQ(changes.take(), Lines{"0"});
  // Without zeros the class leaves it all to the runtime.
  form.spin->PadWithZeros = false;
  EXPECT_EQ(LeaveAfterTyping(form, L"7"), (Steps{L"7", L"|"}));
  EXPECT_EQ(changes.take(), Lines{"7"});
}

INSTANTIATE_TYPED_TEST_SUITE_P(SpinButton, EveryKind, valumat::XbpSpinButton);
