// List boxes: items, marking by the program and by the user, the callbacks
// that only the user's actions fire, colours and fonts, and the handles and
// callbacks a destroyed list gives back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "events.h"
#include "support/heard.h"
#include "support/lists.h"
#include "support/every_kind.h"
#include "listbox.h"
#include "support/event_loop.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;
using valumat::XbpDialog;
using valumat::XbpListBox;

namespace {

const char* const kEuroSize = "Gr\x94\xe1" "e \xd5";  // "Größe €" in code page 858

std::vector<long> Positions(const Value& array) {
  std::vector<long> out;
  for (size_t i = 1; i <= array.size(); ++i) out.push_back(array.at(i).integer());
  return out;
}

// A dialog with a list box of five towns, shown and focused.
struct Items : ListForm {
  std::shared_ptr<XbpListBox> list;

  explicit Items(long markMode = XbpListBox::kMarkSingle, const Value& pp = NIL) : ListForm(Value{300, 220}) {
    list = New<XbpListBox>({dlg->drawingArea(), NIL, Value{10, 20}, Value{150, 150}, pp});
    list->markMode = markMode;
    for (const char* town : {"Aachen", "Bonn", "Celle", "Dessau", "Erfurt"}) list->addItem(town);
    list->create();
    watch(list.get(), [this] {
      std::string marked;
      for (long pos : Positions(list->getData())) marked += std::to_string(pos);
      return marked;
    });
  }
  HWND hwnd() const { return H(list); }
  // The middle of an item, as the list box's client coordinates.
  LPARAM pointOf(long pos) const {
    RECT r{};
    SendMessageW(hwnd(), LB_GETITEMRECT, pos - 1, reinterpret_cast<LPARAM>(&r));
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void click(long pos, WPARAM keys = 0) {
    PostMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON | keys, pointOf(pos));
    PostMessageW(hwnd(), WM_LBUTTONUP, keys, pointOf(pos));
    Drain();
  }
  void key(WPARAM vk) {
    PostMessageW(hwnd(), WM_KEYDOWN, vk, 1);
    Drain();
  }
};

std::wstring NativeItem(HWND list, int index) {
  std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, index, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

}  // namespace

TEST(ListBox, ItemsComeAndGoAtOneBasedPositionsBeforeAndAfterCreation) {
  auto list = New<XbpListBox>();
  EXPECT_EQ(list->addItem("Bonn"), 1);
  EXPECT_EQ(list->addItem("Erfurt"), 2);
  EXPECT_TRUE(list->insItem(1, "Aachen"));
  EXPECT_TRUE(list->insItem(4, "Zwickau"));  // one past the end appends
  EXPECT_FALSE(list->insItem(6, "Weit"));
  EXPECT_FALSE(list->insItem(0, "Null"));
  EXPECT_EQ(list->numItems(), 4);

  Items form;
  XbpListBox& l = *form.list;
  EXPECT_EQ(SendMessageW(form.hwnd(), LB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(l.addItem(kEuroSize), 6);
  EXPECT_EQ(NativeItem(form.hwnd(), 5), L"Gr\u00f6\u00dfe \u20ac");
  EXPECT_EQ(l.getItem(6), Value(kEuroSize));
  EXPECT_TRUE(l.insItem(3, "Bremen"));
  EXPECT_EQ(NativeItem(form.hwnd(), 2), L"Bremen");
  EXPECT_EQ(l.getItem(4), Value("Celle"));
  EXPECT_TRUE(l.delItem(1));
  EXPECT_EQ(l.getItem(1), Value("Bonn"));
  EXPECT_TRUE(l.setItem(1, "Berlin"));
  EXPECT_EQ(NativeItem(form.hwnd(), 0), L"Berlin");
  EXPECT_EQ(l.numItems(), 6);

  // Out of range: refused, nothing changed.
  EXPECT_TRUE(l.getItem(0).isNil());
  EXPECT_TRUE(l.getItem(7).isNil());
  EXPECT_FALSE(l.delItem(7));
  EXPECT_FALSE(l.setItem(-1, "x"));
  EXPECT_FALSE(l.insItem(8, "x"));
  EXPECT_EQ(SendMessageW(form.hwnd(), LB_GETCOUNT, 0, 0), 6);

  EXPECT_TRUE(l.clear());
  EXPECT_EQ(l.numItems(), 0);
  EXPECT_EQ(SendMessageW(form.hwnd(), LB_GETCOUNT, 0, 0), 0);
}

TEST(ListBox, TheTopItemScrollsIntoView) {
  auto early = New<XbpListBox>();
  early->addItem("Aachen");
  EXPECT_EQ(early->getTopItem(), 0);  // nothing in view yet
  EXPECT_FALSE(early->setTopItem(1));

  Items form;
  for (int i = 6; i <= 40; ++i) form.list->addItem("Ort " + std::to_string(i));
  EXPECT_EQ(form.list->getTopItem(), 1);
  EXPECT_TRUE(form.list->setTopItem(20));
  EXPECT_EQ(form.list->getTopItem(), 20);
  EXPECT_EQ(SendMessageW(form.hwnd(), LB_GETTOPINDEX, 0, 0), 19);
  EXPECT_FALSE(form.list->setTopItem(41));
  EXPECT_EQ(form.list->getTopItem(), 20);
  // Renaming an item leaves the list where it was scrolled to.
  EXPECT_TRUE(form.list->setItem(25, "Zwickau"));
  EXPECT_EQ(form.list->getTopItem(), 20);
}

TEST(ListBox, TheProgramMarksWithoutFiringTheCallbacks) {
  Items form;
  XbpListBox& l = *form.list;
  EXPECT_TRUE(l.setData(Value{2}));
  EXPECT_EQ(SendMessageW(form.hwnd(), LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Positions(l.getData()), (std::vector<long>{2}));
  EXPECT_TRUE(l.markItem(4));  // a single-mark list: the one marked before goes
  EXPECT_EQ(Positions(l.getData()), (std::vector<long>{4}));
  // Renaming the marked item keeps it marked.
  EXPECT_TRUE(l.setItem(4, "Dresden"));
  EXPECT_EQ(Positions(l.getData()), (std::vector<long>{4}));
  EXPECT_EQ(l.getItem(4), Value("Dresden"));

  // Refused as a whole: out of range, or more than one for a single mark.
  EXPECT_FALSE(l.setData(Value{9}));
  EXPECT_FALSE(l.setData(Value{1, 2}));
  EXPECT_FALSE(l.setData(Value("Bonn")));
  EXPECT_FALSE(l.markItem(0));
  EXPECT_EQ(Positions(l.getData()), (std::vector<long>{4}));

  EXPECT_TRUE(l.unmarkItem(4));
  EXPECT_EQ(SendMessageW(form.hwnd(), LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_TRUE(l.setData(3));  // one position as a number
  EXPECT_EQ(Positions(l.getData()), (std::vector<long>{3}));
  EXPECT_TRUE(l.setData(NIL));
  EXPECT_EQ(l.getData().size(), 0u);

  // The data link gives the marking to setData() and gets it from getData.
  Value linked = Value{5};
  l.dataLink = [&](const Args& a) -> Value {
    if (PCount(a) == 0) return linked;
    linked = Arg(a, 1);
    return linked;
  };
  EXPECT_TRUE(l.setData());
  EXPECT_EQ(SendMessageW(form.hwnd(), LB_GETCURSEL, 0, 0), 4);
  l.markItem(1);
  l.getData();
  EXPECT_EQ(Positions(linked), (std::vector<long>{1}));

  Drain();
  EXPECT_TRUE(form.take().empty());
}

TEST(ListBox, MouseAndKeysMarkAndChoose) {
  Items form;
  Heard keys;  // noted after the list acted on the key
  form.list->keyboard = keys.block({}, [&](const Args& a) {
    return Heard::First(a) + "@" + std::to_string(SendMessageW(form.hwnd(), LB_GETCURSEL, 0, 0));
  });
  form.click(2);
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked 2"}));
  form.key(VK_DOWN);
  form.key(VK_DOWN);
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked 3", "marked 4"}));
  EXPECT_EQ(keys.take(), (Lines{std::to_string(kKeyDown) + "@2", std::to_string(kKeyDown) + "@3"}));
  form.key(VK_HOME);
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked 1"}));

  // A double click chooses the item under the mouse: its first click marks it.
  form.click(5);
  PostMessageW(form.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, form.pointOf(5));
  PostMessageW(form.hwnd(), WM_LBUTTONUP, 0, form.pointOf(5));
  Drain();
  std::vector<std::string> calls = form.take();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), "selected 5");

  // Enter: withheld from the list, it reaches the keyboard callback and then chooses.
  keys.take();
  Type(form.list, L"\r");
  Drain();
  EXPECT_EQ(keys.take(), Lines{std::to_string(kKeyEnter) + "@4"});
  EXPECT_EQ(form.take(), (std::vector<std::string>{"selected 5"}));

  // With nothing marked, neither Enter nor a double click chooses anything.
  form.list->setData(NIL);
  Type(form.list, L"\r");
  form.list->clear();
  PostMessageW(form.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20));
  Drain();
  EXPECT_TRUE(form.take().empty());
}

TEST(ListBox, SeveralItemsAreMarkedWithCtrlAndShift) {
  Items form(XbpListBox::kMarkMultiple);
  XbpListBox& l = *form.list;
  EXPECT_TRUE(l.setData(Value{4, 1}));
  EXPECT_EQ(Positions(l.getData()), (std::vector<long>{1, 4}));
  EXPECT_GT(SendMessageW(form.hwnd(), LB_GETSEL, 3, 0), 0);
  EXPECT_TRUE(l.markItem(2));  // adds to the marking
  EXPECT_EQ(Positions(l.getData()), (std::vector<long>{1, 2, 4}));
  EXPECT_TRUE(l.unmarkItem(1));
  EXPECT_TRUE(l.setItem(2, "Berlin"));
  EXPECT_EQ(Positions(l.getData()), (std::vector<long>{2, 4}));
  Drain();
  EXPECT_TRUE(form.take().empty());

  form.click(5, MK_CONTROL);
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked 245"}));
  form.click(2, MK_CONTROL);
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked 45"}));
  form.click(1);  // a plain click marks that one alone
  form.click(3, MK_SHIFT);
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked 1", "marked 123"}));

  // Shift with the arrow keys extends the marking too.
  BYTE keyboard[256]{};
  GetKeyboardState(keyboard);
  keyboard[VK_SHIFT] = 0x80;
  SetKeyboardState(keyboard);
  form.key(VK_DOWN);
  keyboard[VK_SHIFT] = 0;
  SetKeyboardState(keyboard);
  EXPECT_EQ(form.take(), (std::vector<std::string>{"marked 1234"}));
}

TEST(ListBox, PresentationColoursAndFontReachTheList) {
  const COLORREF yellow = RGB(255, 255, 0);
  Items form(XbpListBox::kMarkSingle,
            Value{Value{kPPForeground, 1}, Value{kPPBackground, 6}, Value{kPPCompoundName, "10.Arial Fett"}});
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(form.hwnd(), WM_GETFONT, 0, 0)), FontOf("10.Arial Fett"));

  RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT item{}, client{};
  SendMessageW(form.hwnd(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  GetClientRect(form.hwnd(), &client);
  WindowDC dc(form.hwnd());
  EXPECT_EQ(GetPixel(dc.get(), item.right - 3, item.top + 1), yellow);       // beside the text
  EXPECT_EQ(GetPixel(dc.get(), client.right / 2, client.bottom - 3), yellow);  // below the items
  // The text is drawn in the foreground colour: blue pixels in the first item.
  int blue = 0;
  for (int x = item.left; x < item.right; ++x)
    for (int y = item.top; y < item.bottom; ++y) blue += GetPixel(dc.get(), x, y) == RGB(0, 0, 255) ? 1 : 0;
  EXPECT_GT(blue, 10);
}

TEST(ListBox, WithoutOwnColoursTheListKeepsTheWindowColourNotTheFormsFace) {
  Items form;
  form.dlg->drawingArea()->setColorBG(15);
  RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT client{};
  GetClientRect(form.hwnd(), &client);
  WindowDC dc(form.hwnd());
  EXPECT_EQ(GetPixel(dc.get(), client.right / 2, client.bottom - 3), GetSysColor(COLOR_WINDOW));
}

TEST(ListBox, DestroyGivesBackHandlesAndCallbacksAndKeepsTheItems) {
  auto build = [] {
    auto form = std::make_unique<Items>(XbpListBox::kMarkMultiple, Value{Value{kPPBackground, 14}});
    form->list->setData(Value{2, 3});
    RedrawWindow(form->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return form;
  };
  build();  // the process-wide font cache fills once
  const long before = LiveHandles();
  auto form = build();
  form->list->dataLink = [](const Args&) -> Value { return NIL; };
  PostMessageW(form->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, form->pointOf(1));
  form->list->destroy();
  Drain();  // the click died with the list
  EXPECT_TRUE(form->take().empty());
  EXPECT_TRUE(form->list->itemMarked.isNil());
  EXPECT_TRUE(form->list->itemSelected.isNil());
  EXPECT_TRUE(form->list->dataLink.isNil());

  // What the list held stays readable, and a new native list shows it again.
  EXPECT_EQ(form->list->numItems(), 5);
  EXPECT_EQ(form->list->getItem(5), Value("Erfurt"));
  EXPECT_EQ(Positions(form->list->getData()), (std::vector<long>{2, 3}));
  form->list->create();
  EXPECT_EQ(SendMessageW(form->hwnd(), LB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessageW(form->hwnd(), LB_GETSELCOUNT, 0, 0), 2);
  EXPECT_GT(SendMessageW(form->hwnd(), LB_GETSEL, 2, 0), 0);
  RedrawWindow(form->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

  form.reset();
  EXPECT_EQ(LiveHandles(), before);
}

INSTANTIATE_TYPED_TEST_SUITE_P(ListBox, EveryKind, valumat::XbpListBox);
