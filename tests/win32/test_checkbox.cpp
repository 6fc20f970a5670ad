// Check boxes: the state in and out, the user's changes reported and the
// program's not, caption, colours, font and what a box gives back.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/buttons.h"
#include "support/every_kind.h"
#include "checkbox.h"

using namespace rt;
using namespace guitest;
using namespace buttontest;
using valumat::XbpCheckBox;

TEST(CheckBox, StateInAndOutThroughDataAndDataLink) {
  ButtonForm form;
  auto box = form.make<XbpCheckBox>(10, 10, "~Rundung");
  box->selection = true;  // the state at creation
  Heard changed;
  box->selected = Selected(changed, box.get());
  box->create();
  EXPECT_EQ(NativeState(H(box)), BST_CHECKED);
  EXPECT_TRUE(box->getData());

  EXPECT_TRUE(box->setData(false));
  EXPECT_EQ(NativeState(H(box)), BST_UNCHECKED);
  EXPECT_FALSE(box->getData());
  EXPECT_FALSE(box->selection);

  // The data link gives the state without argument and takes it from getData.
  Value field = true;
  int linkCalls = 0;
  box->dataLink = [&](const Args& a) -> Value {
    ++linkCalls;
    if (PCount(a) > 0) field = Arg(a, 1);
    return field;
  };
  EXPECT_TRUE(box->setData());
  EXPECT_EQ(NativeState(H(box)), BST_CHECKED);
  field = NIL;
  EXPECT_TRUE(box->getData());
  EXPECT_EQ(field, Value(true));
  EXPECT_EQ(linkCalls, 2);

  // Only a logical is a state; anything else leaves the box alone.
  EXPECT_FALSE(box->setData(Args{Value(1)}));
  EXPECT_FALSE(box->setData(Args{Value("ja")}));
  field = NIL;
  EXPECT_FALSE(box->setData());
  EXPECT_EQ(NativeState(H(box)), BST_CHECKED);

  // None of this was the user's doing.
  Drain();
  EXPECT_EQ(changed.size(), 0u);

  // After the box is gone its last state stays readable.
  SendMessageW(H(box), BM_CLICK, 0, 0);
  box->destroy();
  EXPECT_FALSE(box->getData());
}

TEST(CheckBox, ClickSpaceAndMnemonicToggleAndReportTheNewState) {
  ButtonForm form;
  auto other = form.add<XbpCheckBox>(10, 60, "Andere");
  auto box = form.add<XbpCheckBox>(10, 10, "~Gro\xe1" "buchstaben");
  Heard changed;
  box->selected = Selected(changed, box.get());

  ClickAt(H(box));
  Drain();
  EXPECT_EQ(NativeState(H(box)), BST_CHECKED);
  EXPECT_EQ(*changed.lines, Lines{".T."});
  EXPECT_EQ(GetFocus(), H(box));  // a click takes the focus, as everywhere

  PressSpace(H(box));
  Drain();
  EXPECT_FALSE(box->getData());

  // Alt+G, typed while another box has the focus.
  SetFocus(H(other));
  AltLetter(H(other), L'g');
  Drain();
  EXPECT_EQ(GetFocus(), H(box));
  EXPECT_TRUE(box->getData());
  EXPECT_EQ(*changed.lines, (Lines{".T.", ".F.", ".T."}));
  EXPECT_FALSE(other->getData());

  // A double click is two clicks: the box ends where it was, both reported.
  ClickAt(H(box));
  PostMessageW(H(box), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(6, 10));
  PostMessageW(H(box), WM_LBUTTONUP, 0, MAKELPARAM(6, 10));
  Drain();
  EXPECT_TRUE(box->getData());
  EXPECT_EQ(*changed.lines, (Lines{".T.", ".F.", ".T.", ".F.", ".T."}));

  // A press that the mouse takes outside the box is no click.
  PostMessageW(H(box), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 10));
  PostMessageW(H(box), WM_LBUTTONUP, 0, MAKELPARAM(400, 10));
  Drain();
  EXPECT_TRUE(box->getData());
  EXPECT_EQ(changed.size(), 5u);

  // Enter and Esc are the form's, not the box's.
  PostMessageW(H(box), WM_CHAR, L'\r', 1);
  PostMessageW(H(box), WM_CHAR, 0x1b, 1);
  Drain();
  EXPECT_TRUE(box->getData());
}

TEST(CheckBox, CaptionMnemonicAndCodePage858) {
  ButtonForm form;
  auto box = form.add<XbpCheckBox>(10, 10, "Gr\x94\xe1" "e in \xd5 & ~Cent");
  EXPECT_EQ(WindowTextOf(H(box)), L"Gr\u00f6\u00dfe in \u20ac && &Cent");
  EXPECT_EQ(box->mnemonic(), 'C');
  EXPECT_TRUE(box->setCaption("~Betrag"));
  EXPECT_EQ(WindowTextOf(H(box)), L"&Betrag");
  EXPECT_EQ(box->mnemonic(), 'B');
  // The old letter no longer reaches the box.
  AltLetter(H(box), L'c');
  Drain();
  EXPECT_FALSE(box->getData());
  AltLetter(H(box), L'b');
  Drain();
  EXPECT_TRUE(box->getData());
}

TEST(CheckBox, CaptionInThePresentationColoursAndFontGreyWhenDisabled) {
  ButtonForm form;
  auto box = form.add<XbpCheckBox>(10, 10, "WWWW ~MMMM", RedOnCyanBold());
  ExpectRedOnCyanBoldUntilDisabled(*box);
  // Disabled, the mnemonic does not reach it.
  AltLetter(H(form.area), L'm');
  Drain();
  EXPECT_FALSE(box->getData());
}

TEST(CheckBox, DestroyGivesBackItsHandlesAndDropsItsCallbacks) {
  ButtonForm form;
  auto build = [&] {
    auto box = form.add<XbpCheckBox>(10, 10, "~Farbe", Value{Value{kPPBackground, 6}, Value{kPPForeground, 1}});
    box->selected = Heard().block();
    box->dataLink = [box](const Args&) -> Value { return box->selection; };  // refers to itself
    Pixels(H(box));
    return box;
  };
  build()->destroy();  // warms the font cache
  const long before = LiveHandles();
  auto box = build();
  EXPECT_GT(LiveHandles(), before);  // its background brush
  std::weak_ptr<XbpCheckBox> watch = box;
  box->destroy();
  EXPECT_EQ(LiveHandles(), before);
  EXPECT_TRUE(box->selected.isNil());
  EXPECT_TRUE(box->dataLink.isNil());
  box.reset();
  Drain();
  EXPECT_TRUE(watch.expired());
}

INSTANTIATE_TYPED_TEST_SUITE_P(CheckBox, EveryKind, valumat::XbpCheckBox);
