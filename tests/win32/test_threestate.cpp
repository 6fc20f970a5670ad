// 3-state boxes: the three states in and out, the user's clicks going round
// them, caption, colours and what a box gives back.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/buttons.h"
#include "support/every_kind.h"
#include "threestate.h"

using namespace rt;
using namespace guitest;
using namespace buttontest;
using valumat::Xbp3State;

TEST(ThreeState, TheUsersClicksGoRoundTheThreeStates) {
  ButtonForm form;
  auto box = form.add<Xbp3State>(10, 10, "~Vorzeichen");
  Heard changed;
  box->selected = Selected(changed, box.get());
  std::vector<long> shown;
  for (int i = 0; i < 4; ++i) {
    SendMessageW(H(box), BM_CLICK, 0, 0);
    Drain();
    shown.push_back(NativeState(H(box)));
  }
  EXPECT_EQ(shown, (std::vector<long>{BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED, BST_CHECKED}));
  EXPECT_EQ(*changed.lines, (Lines{"1", "2", "0", "1"}));

  // The mouse, the space bar and Alt+V move on the same way.
  ClickAt(H(box));
  Drain();
  PressSpace(H(box));
  Drain();
  SetFocus(H(form.area));
  AltLetter(H(form.area), L'v');
  Drain();
  EXPECT_EQ(GetFocus(), H(box));
  EXPECT_EQ(*changed.lines, (Lines{"1", "2", "0", "1", "2", "0", "1"}));
  EXPECT_EQ(box->getData(), 1);
}

TEST(ThreeState, StateInAndOutOnlyZeroOneOrTwo) {
  ButtonForm form;
  auto box = form.make<Xbp3State>(10, 10, "Gr\x94\xe1" "e \xd5");
  box->selection = Xbp3State::kUndetermined;
  Heard changed;
  box->selected = Selected(changed, box.get());
  box->create();
  EXPECT_EQ(WindowTextOf(H(box)), L"Gr\u00f6\u00dfe \u20ac");
  EXPECT_EQ(NativeState(H(box)), BST_INDETERMINATE);
  EXPECT_EQ(box->getData(), 2);

  EXPECT_TRUE(box->setData(0L));
  EXPECT_EQ(NativeState(H(box)), BST_UNCHECKED);
  EXPECT_TRUE(box->setData(Args{Value(1.0)}));
  EXPECT_EQ(NativeState(H(box)), BST_CHECKED);
  // What is no state leaves the box as it is.
  for (const Value& wrong : {Value(3), Value(-1), Value(1.5), Value(true), Value("2")}) {
    EXPECT_FALSE(box->setData(Args{wrong}));
    EXPECT_EQ(NativeState(H(box)), BST_CHECKED);
  }

  Value field = 2;
  box->dataLink = [&](const Args& a) -> Value {
    if (PCount(a) > 0) field = Arg(a, 1);
    return field;
  };
  EXPECT_TRUE(box->setData());
  EXPECT_EQ(NativeState(H(box)), BST_INDETERMINATE);
  SendMessageW(H(box), BM_SETCHECK, BST_UNCHECKED, 0);
  EXPECT_EQ(box->getData(), 0);
  EXPECT_EQ(field, Value(0));

  Drain();
  EXPECT_EQ(changed.size(), 0u);  // all the program's doing
}

TEST(ThreeState, ColoursFontAndHandles) {
  ButtonForm form;
  form.add<Xbp3State>(10, 60, "warm", RedOnCyanBold())->destroy();  // warms the font cache
  const long before = LiveHandles();
  auto box = form.make<Xbp3State>(10, 10, "WWWW MMMM", RedOnCyanBold());
  box->selection = Xbp3State::kUndetermined;
  box->create();
  box->selected = Heard().block();
  box->dataLink = [box](const Args&) -> Value { return box->selection; };

  ExpectRedOnCyanBoldUntilDisabled(*box);

  box->destroy();
  EXPECT_EQ(LiveHandles(), before);
  EXPECT_TRUE(box->selected.isNil());
  EXPECT_TRUE(box->dataLink.isNil());
  EXPECT_EQ(box->getData(), 2);  // the last state, still readable
}

INSTANTIATE_TYPED_TEST_SUITE_P(ThreeState, EveryKind, valumat::Xbp3State);
