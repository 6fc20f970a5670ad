// Radio buttons: groups that keep one selected, the user's choice reported by
// the chosen button alone, arrow keys and Tab as in dialogs, caption, colours
// and what a button gives back.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/buttons.h"
#include "support/every_kind.h"
#include "radiobutton.h"
#include "sle.h"

using namespace rt;
using namespace guitest;
using namespace buttontest;
using valumat::XbpRadioButton;
using valumat::XbpSLE;

namespace {

using Radio = std::shared_ptr<XbpRadioButton>;

// Two groups: the currencies DM, Euro, Schilling, then the directions, begun
// by the first of them.
struct Choices : ButtonForm {
  std::shared_ptr<XbpSLE> before, after;
  Radio dm, euro, schilling, toEuro, toDm;
  Heard chosen[5];

  Choices() {
    before = add<XbpSLE>(10, 250, "");
    dm = add<XbpRadioButton>(10, 220, "~DM");
    euro = add<XbpRadioButton>(10, 195, "~Euro");
    schilling = add<XbpRadioButton>(10, 170, "~Schilling");
    toEuro = make<XbpRadioButton>(200, 220, "nach E~uro");
    toEuro->group = XbpRadioButton::kGroupBegin;
    toEuro->create();
    toDm = add<XbpRadioButton>(200, 195, "nach D~M");
    after = add<XbpSLE>(10, 20, "");
    for (int i = 0; i < 5; ++i) all()[i]->selected = Selected(chosen[i], all()[i].get());
  }
  std::vector<Radio> all() const { return {dm, euro, schilling, toEuro, toDm}; }
  // The buttons' data, as text: "x" selected, "." not.
  std::string data() const {
    std::string out;
    for (const Radio& r : all()) out += r->getData() ? 'x' : '.';
    return out;
  }
  // What the controls show.
  std::string shown() const {
    std::string out;
    for (const Radio& r : all()) out += NativeState(H(r)) == BST_CHECKED ? 'x' : '.';
    return out;
  }
  std::string tabStops() const {
    std::string out;
    for (const Radio& r : all()) out += GetWindowLongPtrW(H(r), GWL_STYLE) & WS_TABSTOP ? 't' : '.';
    return out;
  }
  std::vector<size_t> reports() const {
    std::vector<size_t> out;
    for (const Heard& r : chosen) out.push_back(r.size());
    return out;
  }
};

}  // namespace

TEST(RadioButton, AClickSelectsOneOfItsGroupAndOnlyThatOneReports) {
  Choices form;
  EXPECT_EQ(form.data(), ".....");
  ClickAt(H(form.euro));
  Drain();
  EXPECT_EQ(form.data(), ".x...");
  ClickAt(H(form.toDm));
  SendMessageW(H(form.schilling), BM_CLICK, 0, 0);
  Drain();
  EXPECT_EQ(form.data(), "..x.x");
  EXPECT_EQ(form.shown(), "..x.x");
  EXPECT_EQ(form.reports(), (std::vector<size_t>{0, 1, 1, 0, 1}));
  EXPECT_EQ(*form.chosen[2].lines, Lines{".T."});

  // Clicking the selected one again changes nothing and reports nothing.
  ClickAt(H(form.schilling));
  Drain();
  EXPECT_EQ(form.data(), "..x.x");
  EXPECT_EQ(form.chosen[2].size(), 1u);
}

TEST(RadioButton, TheProgramSelectsAndClearsWithoutReports) {
  Choices form;
  EXPECT_TRUE(form.euro->setData(true));
  EXPECT_TRUE(form.dm->setData(true));
  EXPECT_TRUE(form.toEuro->setData(true));
  EXPECT_EQ(form.shown(), "x..x.");
  EXPECT_TRUE(form.toEuro->setData(false));
  EXPECT_EQ(form.shown(), "x....");
  EXPECT_FALSE(form.dm->setData(Args{Value(1)}));
  EXPECT_EQ(form.shown(), "x....");

  // The data link: its value selects; getData hands the state over.
  Value field = true;
  form.toDm->dataLink = [&](const Args& a) -> Value {
    if (PCount(a) > 0) field = Arg(a, 1);
    return field;
  };
  EXPECT_TRUE(form.toDm->setData());
  EXPECT_EQ(form.shown(), "x...x");
  ClickAt(H(form.toEuro));
  Drain();
  field = NIL;
  EXPECT_FALSE(form.toDm->getData());
  EXPECT_EQ(field, Value(false));

  // A focus the program gives selects nothing either.
  SetAppFocus(form.schilling);
  Drain();
  EXPECT_EQ(GetFocus(), H(form.schilling));
  EXPECT_EQ(form.shown(), "x..x.");
  EXPECT_EQ(form.reports(), (std::vector<size_t>{0, 0, 0, 1, 0}));
}

TEST(RadioButton, ButtonsCreatedSelectedLeaveTheLastOneOfAGroupSelected) {
  ButtonForm form;
  auto a = form.make<XbpRadioButton>(10, 100, "a");
  auto b = form.make<XbpRadioButton>(10, 70, "b");
  auto c = form.make<XbpRadioButton>(10, 40, "c");
  c->group = XbpRadioButton::kGroupEnd;
  auto d = form.make<XbpRadioButton>(10, 10, "d");  // after an end: a new group
  for (const Radio& r : {a, b, c, d}) {
    r->selection = true;
    r->create();
  }
  EXPECT_FALSE(a->getData());
  EXPECT_FALSE(b->getData());
  EXPECT_TRUE(c->getData());
  EXPECT_TRUE(d->getData());
  EXPECT_EQ(NativeState(H(a)), BST_UNCHECKED);
  ClickAt(H(a));
  Drain();
  EXPECT_EQ(NativeState(H(c)), BST_UNCHECKED);
  EXPECT_TRUE(d->getData());
}

TEST(RadioButton, ArrowKeysMoveTheSelectionRoundTheGroup) {
  Choices form;
  SendMessageW(H(form.euro), BM_CLICK, 0, 0);
  Drain();
  Heard keys;
  form.euro->keyboard = keys.block();
  PostMessageW(H(form.euro), WM_KEYDOWN, VK_DOWN, 1);
  Drain();
  EXPECT_EQ(keys.numbers(), (std::vector<long>{kKeyDown}));  // the keyboard callback first
  EXPECT_EQ(GetFocus(), H(form.schilling));
  EXPECT_EQ(form.data(), "..x..");
  // From the last round to the first; the other group stays out of it.
  PostMessageW(H(form.schilling), WM_KEYDOWN, VK_RIGHT, 1);
  Drain();
  EXPECT_EQ(GetFocus(), H(form.dm));
  EXPECT_EQ(form.data(), "x....");
  PostMessageW(H(form.dm), WM_KEYDOWN, VK_UP, 1);
  Drain();
  EXPECT_EQ(form.data(), "..x..");
  // A disabled button is passed over.
  form.dm->disable();
  PostMessageW(H(form.schilling), WM_KEYDOWN, VK_LEFT, 1);
  PostMessageW(H(form.euro), WM_KEYDOWN, VK_LEFT, 1);
  Drain();
  EXPECT_EQ(GetFocus(), H(form.schilling));
  EXPECT_EQ(form.data(), "..x..");
  // Each new selection reported by its button: Euro (click, then left from
  // Schilling), Schilling (down, up, left from Euro), DM (right).
  EXPECT_EQ(form.reports(), (std::vector<size_t>{1, 2, 3, 0, 0}));
}

TEST(RadioButton, SpaceAndMnemonicSelectWhatHasOrTakesTheFocus) {
  Choices form;
  SetAppFocus(form.euro);
  PressSpace(H(form.euro));
  Drain();
  EXPECT_EQ(form.data(), ".x...");
  // Alt+S and Alt+M: focus and selection, each in its own group.
  AltLetter(H(form.before), L's');
  Drain();
  EXPECT_EQ(GetFocus(), H(form.schilling));
  AltLetter(H(form.before), L'm');
  Drain();
  EXPECT_EQ(GetFocus(), H(form.toDm));
  EXPECT_EQ(form.data(), "..x.x");
  EXPECT_EQ(form.reports(), (std::vector<size_t>{0, 1, 1, 0, 1}));
}

TEST(RadioButton, TabReachesEachGroupOnceAtItsSelectedButton) {
  Choices form;
  // Where the focus goes on each of `n` Tabs from the field above the buttons.
  auto tabs = [&](int n) {
    SetAppFocus(form.before);
    std::vector<HWND> reached;
    for (int i = 0; i < n; ++i) {
      PostMessageW(GetFocus(), WM_CHAR, L'\t', 1);
      Drain();
      reached.push_back(GetFocus());
    }
    return reached;
  };
  // None selected: the first of each group is its tab stop.
  EXPECT_EQ(form.tabStops(), "t..t.");
  EXPECT_EQ(tabs(3), (std::vector<HWND>{H(form.dm), H(form.toEuro), H(form.after)}));

  form.schilling->setData(true);
  ClickAt(H(form.toDm));
  Drain();
  EXPECT_EQ(form.tabStops(), "..t.t");
  EXPECT_EQ(tabs(3), (std::vector<HWND>{H(form.schilling), H(form.toDm), H(form.after)}));
  EXPECT_EQ(form.data(), "..x.x");  // passing through selected nothing

  // The program clears the selection: the tab stop goes back to the first.
  form.schilling->setData(false);
  EXPECT_EQ(form.tabStops(), "t...t");
  // The selected button goes: its group keeps a tab stop.
  form.toDm->destroy();
  EXPECT_TRUE(GetWindowLongPtrW(H(form.toEuro), GWL_STYLE) & WS_TABSTOP);
}

TEST(RadioButton, ABeginningButtonThatGoesJoinsItsFollowersToTheGroupBefore) {
  Choices form;
  form.toDm->setData(true);
  form.dm->setData(true);
  form.toEuro->destroy();
  // Now DM, Euro, Schilling and "nach DM" are one group.
  SendMessageW(H(form.euro), BM_CLICK, 0, 0);
  Drain();
  EXPECT_FALSE(form.dm->getData());
  EXPECT_FALSE(form.toDm->getData());
  EXPECT_TRUE(form.euro->getData());
}

TEST(RadioButton, AGroupAfterAnEndKeepsATabStopWhenItsFirstButtonGoes) {
  ButtonForm form;
  auto a = form.make<XbpRadioButton>(10, 100, "a");
  auto b = form.make<XbpRadioButton>(10, 70, "b");
  b->group = XbpRadioButton::kGroupEnd;
  auto c = form.make<XbpRadioButton>(10, 40, "c");  // after an end: begins a group
  auto d = form.make<XbpRadioButton>(10, 10, "d");
  for (const Radio& r : {a, b, c, d}) r->create();
  EXPECT_TRUE(GetWindowLongPtrW(H(c), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongPtrW(H(d), GWL_STYLE) & WS_TABSTOP);
  // Still after the end, "d" begins the group now, and Tab must reach it.
  c->destroy();
  EXPECT_TRUE(GetWindowLongPtrW(H(d), GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(GetWindowLongPtrW(H(a), GWL_STYLE) & WS_TABSTOP);
}

TEST(RadioButton, CaptionColoursFontAndHandles) {
  ButtonForm form;
  form.add<XbpRadioButton>(10, 60, "warm", RedOnCyanBold())->destroy();  // warms the font cache
  const long before = LiveHandles();
  auto button = form.add<XbpRadioButton>(10, 10, "WWWW \xd5 ~MMMM", RedOnCyanBold());
  EXPECT_EQ(WindowTextOf(H(button)), L"WWWW \u20ac &MMMM");
  EXPECT_TRUE(button->setCaption("Gr\x94\xe1" "e ~MM"));
  EXPECT_EQ(WindowTextOf(H(button)), L"Gr\u00f6\u00dfe &MM");
  button->selected = Heard().block();
  button->dataLink = [button](const Args&) -> Value { return button->selection; };

  ExpectRedOnCyanBoldUntilDisabled(*button);
  AltLetter(H(form.area), L'm');
  Drain();
  EXPECT_FALSE(button->getData());

  button->destroy();
  EXPECT_EQ(LiveHandles(), before);
  EXPECT_TRUE(button->selected.isNil());
  EXPECT_TRUE(button->dataLink.isNil());
}

INSTANTIATE_TYPED_TEST_SUITE_P(RadioButton, EveryKind, valumat::XbpRadioButton);
