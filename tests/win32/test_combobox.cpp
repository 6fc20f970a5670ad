// Combination boxes: the entry's text, the list's items, keys typed into the
// entry, choosing from the list with the mouse and the keys, the dropped
// list's height, colours and fonts of entry and list, focus, and what a
// destroyed box gives back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "combobox.h"
#include "events.h"
#include "support/heard.h"
#include "support/lists.h"
#include "support/every_kind.h"
#include "sle.h"
#include "support/event_loop.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;
using valumat::XbpCombobox;
using valumat::XbpDialog;
using valumat::XbpSLE;

namespace {

const char* const kEuroSize = "Gr\x94\xe1" "e \xd5";  // "Größe €" in code page 858
const char* const kTowns[] = {"Aachen", "Bonn", "Celle", "Dessau", "Erfurt", "Fulda", "Gera", "Hagen", "Jena", "Kiel"};

// A dialog with a box of ten towns above an entry field, the box focused.
struct Towns : ListForm {
  std::shared_ptr<XbpCombobox> box;
  std::shared_ptr<XbpSLE> field;

  explicit Towns(long type = XbpCombobox::kTypeDropDown, const Value& pp = NIL) : ListForm(Value{320, 260}) {
    // A simple box's size holds its list too.
    const long height = type == XbpCombobox::kTypeSimple ? 120 : 24;
    box = New<XbpCombobox>({dlg->drawingArea(), NIL, Value{10, 150 + 24 - height}, Value{160, height}, pp});
    box->type = type;
    for (const char* town : kTowns) box->addItem(town);
    box->create();
    field = New<XbpSLE>({dlg->drawingArea(), NIL, Value{200, 20}, Value{100, 24}});
    field->create();
    watch(box.get(), [this] { return box->editBuffer(); });
  }
  HWND hwnd() const { return H(box); }
  COMBOBOXINFO parts() const {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(hwnd(), &info);
    return info;
  }
  HWND entry() const { return parts().hwndItem; }
  HWND list() const { return parts().hwndList; }
  bool dropped() const { return SendMessageW(hwnd(), CB_GETDROPPEDSTATE, 0, 0) != 0; }
  void keyDown(HWND to, WPARAM vk) {
    PostMessageW(to, WM_KEYDOWN, vk, 1);
    Drain();
  }
  // A click on an item of the list, in the list's client coordinates.
  void clickItem(long pos, UINT down = WM_LBUTTONDOWN) {
    RECT r{};
    SendMessageW(list(), LB_GETITEMRECT, pos - 1, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(list(), down, MK_LBUTTON, at);
    PostMessageW(list(), WM_LBUTTONUP, 0, at);
    Drain();
  }
};

// A part of the box painted anew: the colour near its lower right corner, and
// how many pixels of its top rows are of the colour `ink`.
std::pair<COLORREF, int> Painted(HWND part, COLORREF ink) {
  RedrawWindow(part, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT client{};
  GetClientRect(part, &client);
  WindowDC dc(part);
  int inked = 0;
  for (int x = 0; x < client.right; ++x)
    for (int y = 0; y < std::min<LONG>(client.bottom, 20); ++y) inked += GetPixel(dc.get(), x, y) == ink;
  return {GetPixel(dc.get(), client.right - 3, client.bottom - 2), inked};
}

}  // namespace

TEST(Combobox, TheEntryHoldsTheDataAndTheListTheItems) {
  auto early = New<XbpCombobox>();
  EXPECT_TRUE(early->setData("Bonn"));
  EXPECT_EQ(early->addItem("Aachen"), 1);
  EXPECT_EQ(early->getData(), "Bonn");

  Towns form;
  XbpCombobox& b = *form.box;
  EXPECT_EQ(SendMessageW(form.hwnd(), CB_GETCOUNT, 0, 0), 10);
  EXPECT_EQ(b.addItem(kEuroSize), 11);
  EXPECT_EQ(b.getItem(11), Value(kEuroSize));
  EXPECT_TRUE(b.insItem(1, "Achim"));
  EXPECT_TRUE(b.delItem(2));
  EXPECT_TRUE(b.setItem(3, "Cottbus"));
  wchar_t text[32]{};
  SendMessageW(form.hwnd(), CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Cottbus");
  EXPECT_FALSE(b.delItem(12));
  EXPECT_TRUE(b.getItem(0).isNil());

  // Code page 858 inside, UTF-16 in the native entry.
  EXPECT_TRUE(b.setData(kEuroSize));
  EXPECT_EQ(WindowTextOf(form.entry()), L"Gr\u00f6\u00dfe \u20ac");
  EXPECT_EQ(b.getData(), kEuroSize);
  EXPECT_EQ(b.editBuffer(), kEuroSize);

  // Renaming the marked item, and emptying the list, leave the entry.
  EXPECT_TRUE(b.setData("Bonn"));
  EXPECT_EQ(SendMessageW(form.hwnd(), CB_GETCURSEL, 0, 0), 1);  // the item of the text
  EXPECT_TRUE(b.setItem(2, "Berlin"));
  EXPECT_EQ(SendMessageW(form.hwnd(), CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(b.getData(), "Bonn");
  b.setData(kEuroSize);
  EXPECT_TRUE(b.clear());
  EXPECT_EQ(SendMessageW(form.hwnd(), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(b.editBuffer(), kEuroSize);

  std::string linked = "Kiel";
  b.dataLink = [&](const Args& a) -> Value {
    if (PCount(a) == 0) return linked;
    linked = Arg(a, 1).text();
    return linked;
  };
  EXPECT_TRUE(b.setData());
  EXPECT_EQ(WindowTextOf(form.entry()), L"Kiel");
  b.setData("Ulm");
  EXPECT_EQ(linked, "Kiel");  // a given text does not run the link
  b.getData();
  EXPECT_EQ(linked, "Ulm");

  Drain();
  EXPECT_TRUE(form.take().empty());
}

TEST(Combobox, KeysTypedIntoTheEntryReachTheBoxAfterTheEntryTookThem) {
  Towns form;
  EXPECT_EQ(GetFocus(), form.entry());
  Heard seen;
  form.box->keyboard =
      seen.block({}, [&](const Args& a) { return Heard::First(a) + ":" + form.box->editBuffer(); }, form.box.get());
  for (wchar_t c : std::wstring(L"Ul\u20ac\b")) PostMessageW(form.entry(), WM_CHAR, c, 1);
  Drain();
  EXPECT_EQ(seen.take(), (Lines{"85:U", "108:Ul", "213:Ul\xd5", "8:Ul"}));

  // Keys without a character, after taking effect; Enter and Esc leave the text.
  form.keyDown(form.entry(), VK_HOME);
  form.keyDown(form.entry(), VK_DELETE);
  PostMessageW(form.entry(), WM_CHAR, L'\x1b', 1);
  Drain();
  EXPECT_EQ(seen.take(), (Lines{std::to_string(kKeyHome) + ":Ul", std::to_string(kKeyDelete) + ":l",
                                            std::to_string(kKeyEsc) + ":l"}));
  EXPECT_TRUE(form.take().empty());

  // Enter chooses what the entry holds.
  form.keyDown(form.entry(), VK_RETURN);  // its character follows
  EXPECT_EQ(seen.take(), Lines{std::to_string(kKeyEnter) + ":l"});
  EXPECT_EQ(form.take(), (std::vector<std::string>{"selected l"}));
}

TEST(Combobox, ArrowKeysAndClicksTakeItemsIntoTheEntry) {
  Towns form;
  form.box->setData("Celle");  // the program's change: no callback
  form.keyDown(form.entry(), VK_DOWN);
  form.keyDown(form.entry(), VK_DOWN);
  EXPECT_FALSE(form.dropped());
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked Dessau", "marked Erfurt"}));

  // F4 drops the list; arrows move in it; Enter closes it and chooses.
  form.keyDown(form.entry(), VK_F4);
  EXPECT_TRUE(form.dropped());
  form.keyDown(form.entry(), VK_UP);
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked Dessau"}));
  form.keyDown(form.entry(), VK_RETURN);  // its character follows
  EXPECT_FALSE(form.dropped());
  EXPECT_EQ(form.take(), (std::vector<std::string>{"selected Dessau"}));

  // A click on an item of the open list takes it and chooses it.
  form.keyDown(form.entry(), VK_F4);
  ASSERT_TRUE(form.dropped());
  form.clickItem(7);
  EXPECT_FALSE(form.dropped());
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked Gera", "selected Gera"}));
  EXPECT_EQ(WindowTextOf(form.entry()), L"Gera");

  // Esc closes the open list without choosing.
  form.keyDown(form.entry(), VK_F4);
  form.keyDown(form.entry(), VK_ESCAPE);
  EXPECT_FALSE(form.dropped());
  EXPECT_TRUE(form.take().empty());
}

TEST(Combobox, TheEntryKeepsItsSizeAndTheDroppedListShowsSeveralItems) {
  Towns form;
  RECT area{};
  GetWindowRect(H(form.dlg->drawingArea()), &area);
  const long row = static_cast<long>(SendMessageW(form.hwnd(), CB_GETITEMHEIGHT, 0, 0));
  auto fits = [&](long width, long height, long bottom) {
    RECT box{}, list{};
    GetWindowRect(form.hwnd(), &box);
    EXPECT_EQ(box.right - box.left, width);
    EXPECT_EQ(box.bottom - box.top, height);
    EXPECT_EQ(area.bottom - box.bottom, bottom);  // the lower edge where it was asked for
    SendMessageW(form.hwnd(), CB_SHOWDROPDOWN, TRUE, 0);
    GetWindowRect(form.list(), &list);
    EXPECT_GE(list.bottom - list.top, 8 * row);
    SendMessageW(form.hwnd(), CB_SHOWDROPDOWN, FALSE, 0);
  };
  fits(160, 24, 150);
  EXPECT_EQ(Pair(form.box->currentSize()), P(160, 24));
  form.box->setPos(Value{20, 100});
  fits(160, 24, 100);
  // Resized, the entry takes the new height above the same lower edge.
  form.box->setSize(Value{180, 30});
  fits(180, 30, 100);
  form.box->setSize(Value{180, 20});
  fits(180, 20, 100);
  Drain();
  EXPECT_TRUE(form.take().empty());
}

TEST(Combobox, PresentationColoursAndFontReachEntryAndList) {
  const COLORREF yellow = RGB(255, 255, 0);
  const HFONT bold = FontOf("10.Arial Fett");
  for (long type : {XbpCombobox::kTypeSimple, XbpCombobox::kTypeDropDown}) {
    SCOPED_TRACE(type == XbpCombobox::kTypeSimple ? "simple" : "drop-down");
    Towns form(type, Value{Value{kPPForeground, 1}, Value{kPPBackground, 6}, Value{kPPCompoundName, "10.Arial Fett"}});
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(form.entry(), WM_GETFONT, 0, 0)), bold);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(form.list(), WM_GETFONT, 0, 0)), bold);

    form.box->setData("Wei\xe1");
    SendMessageW(form.hwnd(), CB_SHOWDROPDOWN, TRUE, 0);
    for (HWND part : {form.entry(), form.list()}) {
      SCOPED_TRACE(part == form.entry() ? "entry" : "list");
      const auto [corner, inked] = Painted(part, RGB(0, 0, 255));
      EXPECT_EQ(corner, yellow);
      EXPECT_GT(inked, 10);  // text in the foreground colour
    }
    SendMessageW(form.hwnd(), CB_SHOWDROPDOWN, FALSE, 0);
  }
}

TEST(Combobox, WithoutOwnColoursEntryAndListKeepTheWindowColour) {
  Towns form(XbpCombobox::kTypeSimple);
  form.dlg->drawingArea()->setColorBG(15);
  for (HWND part : {form.entry(), form.list()}) {
    SCOPED_TRACE(part == form.entry() ? "entry" : "list");
    EXPECT_EQ(Painted(part, 0).first, GetSysColor(COLOR_WINDOW));
  }
}

TEST(Combobox, FocusOfTheWholeBoxAndTabToTheNextField) {
  Towns form;
  int got = 0, lost = 0;
  form.box->setInputFocus = [&](const Args&) -> Value { return ++got; };
  form.box->killInputFocus = [&](const Args&) -> Value { return ++lost; };
  SetFocus(H(form.field));
  Drain();
  EXPECT_EQ(lost, 1);
  SetAppFocus(form.box);  // the box hands the focus to its entry: one arrival
  Drain();
  EXPECT_EQ(GetFocus(), form.entry());
  EXPECT_EQ(SetAppFocus(), form.box);
  EXPECT_EQ(got, 1);
  EXPECT_EQ(lost, 1);

  PostMessageW(form.entry(), WM_CHAR, L'\t', 1);
  Drain();
  EXPECT_EQ(GetFocus(), H(form.field));
  EXPECT_EQ(lost, 2);
  EXPECT_EQ(form.box->editBuffer(), "");
}

TEST(Combobox, ABoxWithoutEntryTakesOnlyItsItems) {
  Towns form(XbpCombobox::kTypeDropDownList);
  XbpCombobox& b = *form.box;
  EXPECT_TRUE(b.setData("Bonn"));
  EXPECT_EQ(SendMessageW(form.hwnd(), CB_GETCURSEL, 0, 0), 1);
  EXPECT_FALSE(b.setData("Ulm"));
  EXPECT_FALSE(b.setData("bonn"));  // the native search would take it
  EXPECT_EQ(b.getData(), "Bonn");
  EXPECT_TRUE(b.setItem(2, "Berlin"));  // the marked item renamed
  EXPECT_EQ(b.getData(), "Berlin");

  Heard keys;
  b.keyboard = keys.block();
  EXPECT_EQ(GetFocus(), form.hwnd());
  form.keyDown(form.hwnd(), VK_DOWN);
  PostMessageW(form.hwnd(), WM_CHAR, L'h', 1);  // to the item of that letter
  Drain();
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked Celle", "marked Hagen"}));
  EXPECT_EQ(keys.numbers(), (std::vector<long>{kKeyDown, 'h'}));

  SendMessageW(form.hwnd(), CB_SHOWDROPDOWN, TRUE, 0);
  form.clickItem(9);
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked Jena", "selected Jena"}));
  form.keyDown(form.hwnd(), VK_RETURN);
  EXPECT_EQ(form.take(), (std::vector<std::string>{"selected Jena"}));
}

TEST(Combobox, ASimpleBoxChoosesWithADoubleClick) {
  Towns form(XbpCombobox::kTypeSimple);
  form.clickItem(4);
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked Dessau"}));
  form.clickItem(4, WM_LBUTTONDBLCLK);
  std::vector<std::string> calls = form.take();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), "selected Dessau");
}

TEST(Combobox, DestroyGivesBackHandlesAndCallbacksAndKeepsTheData) {
  auto build = [] {
    auto form = std::make_unique<Towns>(XbpCombobox::kTypeDropDown, Value{Value{kPPBackground, 14}});
    form->box->setData("Jena");
    SendMessageW(form->hwnd(), CB_SHOWDROPDOWN, TRUE, 0);
    RedrawWindow(form->list(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    SendMessageW(form->hwnd(), CB_SHOWDROPDOWN, FALSE, 0);
    return form;
  };
  build();  // the process-wide font cache fills once
  const long before = LiveHandles();
  auto form = build();
  form->box->dataLink = [](const Args&) -> Value { return NIL; };
  form->box->keyboard = [](const Args&) -> Value { return NIL; };
  PostMessageW(form->entry(), WM_CHAR, L'x', 1);
  form->box->destroy();
  Drain();  // the key died with the box
  EXPECT_TRUE(form->take().empty());
  EXPECT_TRUE(form->box->itemMarked.isNil());
  EXPECT_TRUE(form->box->itemSelected.isNil());
  EXPECT_TRUE(form->box->keyboard.isNil());
  EXPECT_TRUE(form->box->dataLink.isNil());

  EXPECT_EQ(form->box->getData(), "Jena");
  EXPECT_EQ(form->box->numItems(), 10);
  form->box->create();
  EXPECT_EQ(WindowTextOf(form->entry()), L"Jena");
  EXPECT_EQ(SendMessageW(form->hwnd(), CB_GETCOUNT, 0, 0), 10);

  form.reset();
  EXPECT_EQ(LiveHandles(), before);
}

INSTANTIATE_TYPED_TEST_SUITE_P(Combobox, EveryKind, valumat::XbpCombobox);
