#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls.h"
#include "error.h"
#include "events.h"
#include "support/errors.h"
#include "support/event_loop.h"
#include "support/heard.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;
using valumat::CenterControl;
using valumat::DisplayModalDlg;
using valumat::GetParentForm;
using valumat::XbpDialog;
using valumat::XbpPushButton;
using valumat::XbpSLE;
using valumat::XbpStatic;
using valumat::XbpTabPage;

namespace {

// An event code of the tests' own: a handler registered for it runs inside
// the modal loop, as the loop takes the event.
constexpr long kEvProbe = kEvBase + 190;

std::shared_ptr<XbpDialog> Dialog(const WindowRef& parent, const WindowRef& owner, long x, const char* title) {
  auto dlg = New<XbpDialog>({parent, owner, Value{x, 200}, Value{300, 160}, NIL, false});
  dlg->title = title;
  dlg->create();
  return dlg;
}

// The application's window with a field, and a dialog on the desktop that it
// owns, with an OK button; nothing shown yet but the owner.
struct Modal {
  std::shared_ptr<XbpDialog> owner = Dialog(AppDesktop(), nullptr, 40, "Besitzer");
  std::shared_ptr<XbpSLE> field;
  std::shared_ptr<XbpDialog> dlg = Dialog(AppDesktop(), owner, 380, "Modal");
  std::shared_ptr<XbpPushButton> ok;
  std::shared_ptr<XbpSLE> dlgField;

  Modal() {
    field = New<XbpSLE>({owner->drawingArea(), NIL, Value{20, 60}, Value{120, 24}});
    field->create();
    ok = New<XbpPushButton>({dlg->drawingArea(), NIL, Value{20, 20}, Value{80, 26}});
    ok->caption = "OK";
    ok->create();
    dlgField = New<XbpSLE>({dlg->drawingArea(), NIL, Value{20, 70}, Value{120, 24}});
    dlgField->create();
    owner->show();
    SetAppFocus(owner);
    SetAppFocus(field);
    Drain();
  }
  ~Modal() {
    SetAppEvent(kEvProbe, NIL);
    dlg->destroy();
    owner->destroy();
    Drain();
  }
  // The OK button pressed as the run's first native input.
  void clickOk() { PostMessageW(H(ok), BM_CLICK, 0, 0); }
  // `probe` runs inside the loop once it has begun.
  void during(const std::function<void()>& probe) {
    SetAppEvent(kEvProbe, [probe](const Args&) -> Value {
      probe();
      return NIL;
    });
    PostAppEvent(kEvProbe, NIL, NIL, dlg);
  }
};

// A point with its fractions.
std::pair<double, double> Exact(const Value& v) { return {v.at(1).number(), v.at(2).number()}; }
using E = std::pair<double, double>;

// Whether a window was shown at each moment a watched control got the focus.
HWND g_shownWhenFocused = nullptr;
WNDPROC g_underWatch = nullptr;
std::vector<bool> g_focusedWhileShown;

LRESULT CALLBACK WatchFocus(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_SETFOCUS) g_focusedWhileShown.push_back(IsWindowVisible(g_shownWhenFocused));
  return CallWindowProcW(g_underWatch, hwnd, msg, wparam, lparam);
}

}  // namespace

TEST(ShowModal, AResultStoredWithTheDialogHiddenWinsOverTheTwoOfHiding) {
  Modal m;
  bool modalInside = false;
  m.ok->activate = [&](const Args&) -> Value {
    modalInside = m.dlg->IsModal;
    m.dlg->ModalResult = 1;
    m.dlg->hide();
    return NIL;
  };
  m.clickOk();
  EXPECT_EQ(m.dlg->ShowModal(), Value(1));
  EXPECT_TRUE(modalInside);
  EXPECT_EQ(m.dlg->ModalResult, Value(1));
  EXPECT_FALSE(m.dlg->IsModal);
  EXPECT_FALSE(IsWindowVisible(H(m.dlg)));
}

TEST(ShowModal, TheCloseButtonEndsWithTwoAndATextResultComesBackAsText) {
  Modal m;
  PostMessageW(H(m.dlg), WM_CLOSE, 0, 0);
  EXPECT_EQ(m.dlg->ShowModal(), Value(2));
  EXPECT_EQ(m.dlg->ModalResult, Value(2));
  EXPECT_FALSE(IsWindowVisible(H(m.dlg)));

  // A second run shows the window again and starts without a result.
  Value resultAtStart, visibleAtStart;
  m.ok->activate = [&](const Args&) -> Value {
    resultAtStart = m.dlg->ModalResult;
    visibleAtStart = m.dlg->isVisible();
    m.dlg->ModalResult = "abgebrochen";
    return NIL;
  };
  m.clickOk();
  EXPECT_EQ(m.dlg->ShowModal(), Value("abgebrochen"));
  EXPECT_EQ(resultAtStart, Value(0));
  EXPECT_EQ(visibleAtStart, Value(true));
  EXPECT_EQ(m.dlg->ModalResult, Value("abgebrochen"));
  EXPECT_FALSE(IsWindowVisible(H(m.dlg)));
}

TEST(ShowModal, ATextWindowRunsModallyAndGetsItsClicksAsCells) {
  Modal m;
  auto crt = New<valumat::XbpCrt>({AppDesktop(), m.owner, Value{60, 60}, 10, 40, "Text", false});
  crt->create();
  Value cell;
  bool ownerEnabled = true;
  crt->lbDown = [&](const Args& a) -> Value {
    cell = Arg(a, 1).at(2);
    ownerEnabled = IsWindowEnabled(H(m.owner));
    crt->ModalResult = "geklickt";
    return NIL;
  };
  // A click in the second column of the last row.
  const LPARAM at = MAKELPARAM(crt->FontWidth + 1, crt->FontHeight * 10 - 2);
  PostMessageW(H(crt), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(H(crt), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(crt->ShowModal(), Value("geklickt"));
  EXPECT_EQ(Pair(cell), P(9, 1));
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(H(m.owner)));
  EXPECT_FALSE(crt->IsModal);
  EXPECT_FALSE(IsWindowVisible(H(crt)));
  crt->destroy();
}

TEST(ShowModal, TheOwnerIsDisabledDuringTheRunAndTheFocusComesBack) {
  Modal m;
  ASSERT_EQ(SetAppFocus(), m.field);
  BOOL ownerEnabled = TRUE;
  WindowRef focusInside;
  m.during([&] {
    ownerEnabled = IsWindowEnabled(H(m.owner));
    focusInside = SetAppFocus();
    m.dlg->ModalResult = 1;
  });
  EXPECT_EQ(m.dlg->ShowModal(m.dlgField), Value(1));
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(focusInside, m.dlgField) << "the initial-focus control";
  EXPECT_TRUE(IsWindowEnabled(H(m.owner)));
  EXPECT_EQ(SetAppFocus(), m.field) << "back on the control that had it";

  // The dialog itself had the focus: it stays on the owner. (A dialog given
  // the focus hands it on to the control it last had, so this one has none.)
  auto bare = Dialog(AppDesktop(), m.owner, 380, "Leer");
  bare->show();
  SetAppFocus(bare);
  ASSERT_EQ(SetAppFocus(), bare);
  SetAppEvent(kEvProbe, [&](const Args&) -> Value {
    bare->ModalResult = 1;
    return NIL;
  });
  PostAppEvent(kEvProbe, NIL, NIL, bare);
  g_shownWhenFocused = H(bare);
  g_underWatch = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(H(m.field), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchFocus)));
  bare->ShowModal();
  SetWindowLongPtrW(H(m.field), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_underWatch));
  // Given to the owner before the dialog goes, not left to the system's
  // activation when it hides; the owner hands it on to the control it last had.
  ASSERT_FALSE(g_focusedWhileShown.empty());
  EXPECT_TRUE(g_focusedWhileShown.front());
  EXPECT_TRUE(GetFocus() == H(m.owner) || IsChild(H(m.owner), GetFocus()));
  EXPECT_EQ(SetAppFocus(), m.field);
  EXPECT_TRUE(IsWindowEnabled(H(m.owner)));
  bare->destroy();
}

TEST(ShowModal, ADialogOwnedByItsParentNeitherDisablesNorFocusesIt) {
  Modal m;
  const WindowRef area = m.owner->drawingArea();
  auto inner = New<XbpDialog>({area, NIL, Value{150, 10}, Value{120, 90}, NIL, true});
  inner->create();
  int areaFocused = 0;
  area->setInputFocus = [&](const Args&) -> Value { return ++areaFocused; };
  BOOL ownerEnabled = FALSE;
  SetAppEvent(kEvProbe, [&](const Args&) -> Value {
    ownerEnabled = IsWindowEnabled(H(m.owner)) && IsWindowEnabled(H(area));
    inner->ModalResult = 7;
    return NIL;
  });
  PostAppEvent(kEvProbe, NIL, NIL, inner);
  EXPECT_EQ(inner->ShowModal(), Value(7));
  Drain();
  EXPECT_TRUE(ownerEnabled);
  EXPECT_EQ(areaFocused, 0);
  EXPECT_EQ(SetAppFocus(), m.field);
  area->setInputFocus = NIL;
  inner->destroy();
}

TEST(DisplayModalDlg, AnythingButADialogIsRefusedWithoutTouchingAnything) {
  Modal m;
  auto button = New<XbpPushButton>({m.owner->drawingArea(), NIL, Value{160, 20}, Value{80, 26}, NIL, false});
  button->caption = "Nein";
  button->create();
  PostAppEvent(kEvProbe, NIL, NIL, m.dlg);  // would be taken by a loop that ran
  EXPECT_EQ(DisplayModalDlg(button), Value(-1));
  EXPECT_EQ(DisplayModalDlg(NIL, m.dlgField), Value(-1));
  EXPECT_EQ(DisplayModalDlg("XbpDialog"), Value(-1));
  EXPECT_FALSE(IsWindowVisible(H(button)));
  EXPECT_TRUE(IsWindowEnabled(H(m.owner)));
  EXPECT_EQ(SetAppFocus(), m.field);
  const auto left = Drain();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].code, kEvProbe);
}

TEST(DisplayModalDlg, AHandlerThatDestroysTheDialogEndsTheRunWithTwo) {
  Modal m;
  m.ok->activate = [&](const Args&) -> Value {
    m.dlg->destroy();
    return NIL;
  };
  m.clickOk();
  EXPECT_EQ(DisplayModalDlg(m.dlg), Value(2));
  EXPECT_FALSE(m.dlg->isCreated());
  EXPECT_EQ(m.dlg->ModalResult, Value(2));
  EXPECT_FALSE(m.dlg->IsModal);
  EXPECT_TRUE(IsWindowEnabled(H(m.owner))) << "the owner is given back";
  // A dialog without a window ends at once instead of waiting for an event.
  EXPECT_EQ(m.dlg->ShowModal(), Value(2));
}

TEST(DisplayModalDlg, OtherWindowsKeepTheirEventsAndMayCloseDuringTheRun) {
  Modal m;
  Heard seen;
  auto modal = [&](const Args&) { return std::string(m.dlg->IsModal ? "modal" : ""); };
  m.field->keyboard = seen.block("key", [&](const Args& a) { return Heard::First(a) + " " + modal(a); });
  m.owner->close = seen.block("close", modal);
  // A registered handler sees the event before its object does.
  SetAppEvent(kEvKeyboard, [&](const Args& a) -> Value {
    if (Arg(a, 3).object() == m.field) seen.lines->push_back("handler " + std::to_string(Arg(a, 1).integer()));
    return NIL;
  });
  m.ok->activate = [&](const Args&) -> Value {
    m.dlg->ModalResult = 1;
    return NIL;
  };
  PostMessageW(H(m.field), WM_CHAR, L'a', 1);
  PostMessageW(H(m.owner), WM_CLOSE, 0, 0);  // the owner's close is not the dialog's
  m.clickOk();
  const Value result = m.dlg->ShowModal();
  SetAppEvent(kEvKeyboard, NIL);
  EXPECT_EQ(result, Value(1));
  EXPECT_EQ(*seen.lines, (Lines{"handler 97", "key 97 modal", "close modal"}));
  EXPECT_EQ(WindowTextOf(H(m.field)), L"a");
}

TEST(DisplayModalDlg, ABreakOutOfAHandlerGivesTheOwnerBack) {
  Modal m;
  m.during([] { Break("weg"); });
  const Value broken = Sequence([&] { return m.dlg->ShowModal(); }, [](const Value& v) { return v; });
  EXPECT_EQ(broken, Value("weg"));
  EXPECT_TRUE(IsWindowEnabled(H(m.owner)));
  EXPECT_FALSE(m.dlg->IsModal);
}

TEST(DisplayModalDlg, AQuitEndsTheRunAndReachesTheApplicationsLoop) {
  Modal m;
  PostQuitMessage(0);
  EXPECT_EQ(m.dlg->ShowModal(), Value(2));
  EXPECT_FALSE(Only(Drain(), kEvQuit).empty());
}

TEST(GetParentForm, TheNearestDialogAboveTheControlNeverTheControlItself) {
  Modal m;
  EXPECT_EQ(GetParentForm(m.field).object(), m.owner);
  auto page = New<XbpTabPage>({m.dlg->drawingArea(), NIL, Value{150, 10}, Value{140, 100}});
  page->create();
  auto onPage = New<XbpSLE>({page, NIL, Value{10, 10}, Value{80, 24}});
  EXPECT_EQ(GetParentForm(onPage).object(), m.dlg);
  EXPECT_TRUE(GetParentForm(m.dlg).isNil());
  EXPECT_TRUE(GetParentForm(New<XbpStatic>({AppDesktop()})).isNil());
  EXPECT_TRUE(GetParentForm(NIL).isNil());
  EXPECT_TRUE(GetParentForm(42).isNil());
  page->destroy();
}

TEST(CenterControl, CentresExactlyAndRoundsOnlyAsItBecomesPixels) {
  Modal m;
  auto box = New<XbpStatic>({m.owner->drawingArea(), NIL, Value{0, 0}, Value{301, 200}});
  box->create();
  auto inner = New<XbpStatic>({box, NIL, Value{0, 0}, Value{100, 30}});
  EXPECT_TRUE(CenterControl({inner}).isNil());
  EXPECT_EQ(Exact(inner->currentPos()), E(100.5, 85));  // not created: as given

  inner->create();
  inner->setPos(Value{0, 0});
  CenterControl({inner});
  RECT outer{}, r{};
  GetWindowRect(H(box), &outer);
  GetWindowRect(H(inner), &r);
  EXPECT_EQ(r.left - outer.left, 101);
  EXPECT_EQ(outer.bottom - r.bottom, 85);

  // Larger than its parent: negative, half away from zero.
  inner->setSize(Value{400, 250});
  CenterControl({inner, NIL});
  GetWindowRect(H(inner), &r);
  EXPECT_EQ(r.left - outer.left, -50);
  EXPECT_EQ(outer.bottom - r.bottom, -25);
  EXPECT_EQ(Pixels(-0.5), -1);
  EXPECT_EQ(Pixels(2.4999), 2);
}

TEST(CenterControl, InAnotherWindowThePositionIsMappedIntoTheParent) {
  Modal m;
  const WindowRef area = m.owner->drawingArea();
  auto target = New<XbpStatic>({area, NIL, Value{50, 40}, Value{200, 100}});
  target->create();
  auto control = New<XbpStatic>({area, NIL, Value{0, 0}, Value{100, 30}});
  control->create();
  CenterControl({control, target});
  EXPECT_EQ(Pair(control->currentPos()), P(100, 75));

  // Fractions survive the mapping; the desktop is the screen, bottom-up.
  EXPECT_EQ(Exact(target->mapPoint(area, Value{0.5, 0.25})), E(50.5, 40.25));
  RECT r{};
  GetWindowRect(H(target), &r);
  const long screenHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(Exact(target->mapPoint(AppDesktop(), Value{0, 0})), E(r.left, screenHeight - r.bottom));
  EXPECT_EQ(Exact(AppDesktop()->mapPoint(target, Value{r.left + 3, screenHeight - r.bottom + 4})), E(3, 4));
  EXPECT_TRUE(New<XbpStatic>({area})->mapPoint(target, Value{1, 1}).isNil()) << "not created";
  EXPECT_TRUE(target->mapPoint(area, NIL).isNil());

  // A dialog centred over another top-level window, through the screen.
  m.dlg->setPosAndSize(Value{0, 0}, Value{200, 100});
  CenterControl({m.dlg, m.owner});
  RECT client{};
  GetClientRect(H(m.owner), &client);
  POINT corner{0, client.bottom};
  ClientToScreen(H(m.owner), &corner);
  EXPECT_EQ(Pair(m.dlg->currentPos()), P(corner.x + 50, screenHeight - corner.y + 30));
}

TEST(CenterControl, ArgumentErrorsAreRaisedWithTheControlAndMoveNothing) {
  Modal m;
  errtest::Raised rec;
  EXPECT_TRUE(CenterControl({}).isNil());
  ASSERT_EQ(rec.errors.size(), 2u) << "the count, then the missing control's type";
  EXPECT_EQ(rec.errors[0]->genCode, Value(3));
  EXPECT_EQ(rec.errors[1]->genCode, Value(2));
  EXPECT_EQ(rec.errors[0]->args, rec.errors[1]->args) << "the same array";
  ASSERT_EQ(rec.errors[0]->args.size(), 1u);
  EXPECT_TRUE(rec.errors[0]->args.at(1).isNil());
  for (const auto& e : rec.errors) {
    EXPECT_EQ(e->subSystem, Value("XBP"));
    EXPECT_EQ(e->subCode, Value(0));
    EXPECT_EQ(e->operation, Value("CenterControl"));
  }

  rec.errors.clear();
  CenterControl({"Feld"});
  ASSERT_EQ(rec.errors.size(), 1u);
  EXPECT_EQ(rec.errors[0]->genCode, Value(2));
  EXPECT_EQ(rec.errors[0]->args.at(1), Value("Feld"));

  rec.errors.clear();
  m.field->setPos(Value{20, 60});
  CenterControl({m.field, "woanders"});
  ASSERT_EQ(rec.errors.size(), 1u);
  EXPECT_EQ(rec.errors[0]->genCode, Value(2));
  ASSERT_EQ(rec.errors[0]->args.size(), 1u);
  EXPECT_EQ(rec.errors[0]->args.at(1).object(), m.field) << "the control, not the target";
  EXPECT_EQ(Pair(m.field->currentPos()), P(20, 60));
}

TEST(Windows, ModalStateDisablesTheOwnerOnlyAndRefusesOtherStates) {
  Modal m;
  EXPECT_TRUE(m.dlg->setModalState(2));
  EXPECT_FALSE(IsWindowEnabled(H(m.owner)));
  EXPECT_TRUE(IsWindowEnabled(H(m.dlg)));
  EXPECT_TRUE(m.dlg->setModalState(1));
  EXPECT_TRUE(IsWindowEnabled(H(m.owner)));
  EXPECT_FALSE(m.dlg->setModalState(3));
  EXPECT_TRUE(IsWindowEnabled(H(m.owner)));
  // Owned by the desktop: nothing to disable.
  auto alone = Dialog(AppDesktop(), nullptr, 100, "Allein");
  EXPECT_TRUE(alone->setModalState(2));
  EXPECT_TRUE(IsWindowEnabled(H(m.owner)));
  alone->destroy();
  // NIL or half positions are refused instead of moving the window to 0.
  m.field->setPos(Value{20, 60});
  EXPECT_FALSE(m.field->setPos(NIL));
  EXPECT_FALSE(m.field->setPos(Value{5, NIL}));
  EXPECT_EQ(Pair(m.field->currentPos()), P(20, 60));
  // No window to focus: the focus stays.
  SetAppFocus(m.field);
  EXPECT_EQ(SetAppFocus(nullptr), m.field);
  EXPECT_EQ(SetAppFocus(), m.field);
}
