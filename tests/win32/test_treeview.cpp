// Tree views and their items on the real tree-view control: items linked
// before and after the control exists, what the user does with mouse and
// keys, what the program does (which runs no callback), colours, fonts and
// handles.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "controls.h"
#include "events.h"
#include "support/every_kind.h"
#include "support/heard.h"
#include "treeview.h"
#include "treeviewitem.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;
using valumat::XbpDialog;
using valumat::XbpTreeView;
using valumat::XbpTreeViewItem;

namespace {

std::wstring ItemText(HWND tree, HTREEITEM item) {
  wchar_t text[128] = L"";
  TVITEMW native{};
  native.mask = TVIF_TEXT | TVIF_HANDLE;
  native.hItem = item;
  native.pszText = text;
  native.cchTextMax = 128;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&native));
  return text;
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT how) {
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

// The control's items as the user could read them off: "A(B,C),D".
std::wstring Outline(HWND tree, HTREEITEM first) {
  std::wstring out;
  for (HTREEITEM item = first; item; item = Next(tree, item, TVGN_NEXT)) {
    if (!out.empty()) out += L",";
    out += ItemText(tree, item);
    if (HTREEITEM child = Next(tree, item, TVGN_CHILD)) out += L"(" + Outline(tree, child) + L")";
  }
  return out;
}
std::wstring Outline(HWND tree) { return Outline(tree, Next(tree, nullptr, TVGN_ROOT)); }

HTREEITEM Find(HWND tree, const std::wstring& text, HTREEITEM first = nullptr) {
  for (HTREEITEM item = first ? first : Next(tree, nullptr, TVGN_ROOT); item; item = Next(tree, item, TVGN_NEXT)) {
    if (ItemText(tree, item) == text) return item;
    if (HTREEITEM child = Next(tree, item, TVGN_CHILD)) {
      if (HTREEITEM found = Find(tree, text, child)) return found;
    }
  }
  return nullptr;
}

bool NativelyExpanded(HWND tree, HTREEITEM item) {
  return SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED;
}

// Where the user clicks an item's text, and its "+" button.
LPARAM TextPoint(HWND tree, HTREEITEM item) {
  RECT r{};
  std::memcpy(&r, &item, sizeof item);  // the item goes in, its rectangle comes out
  SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
  return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

LPARAM ButtonPoint(HWND tree, HTREEITEM item) {
  const LPARAM text = TextPoint(tree, item);
  for (int x = 0; x < LOWORD(text); ++x) {
    TVHITTESTINFO hit{};
    hit.pt = {x, HIWORD(text)};
    SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.hItem == item && (hit.flags & TVHT_ONITEMBUTTON)) return MAKELPARAM(x, HIWORD(text));
  }
  ADD_FAILURE() << "no button";
  return 0;
}

void Click(HWND tree, LPARAM at) {
  PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(tree, WM_LBUTTONUP, 0, at);
}

void DoubleClick(HWND tree, LPARAM at) {
  Click(tree, at);
  PostMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageW(tree, WM_LBUTTONUP, 0, at);
}

void Key(HWND tree, UINT vk) { PostMessageW(tree, WM_KEYDOWN, vk, 1); }

std::string CaptionOf(const Value& item) {
  auto object = item.as<XbpBaseTreeViewItem>();
  return object ? object->caption : "NIL";
}

struct TreeForm : Form {
  std::shared_ptr<XbpTreeView> tree;
  Heard log;  // what the callbacks heard, in order
  TreeItemRef fruit, apples, pears, bread;  // planted: "Obst(Äpfel,Birnen),Brot"

  explicit TreeForm(const Value& params = NIL) : Form(Value{320, 300}) {
    tree = New<XbpTreeView>({area, NIL, Value{10, 10}, Value{220, 240}, params});
  }
  void plant() {
    auto root = tree->rootItem();
    fruit = root->addItem("Obst");
    apples = fruit->addItem("\x8epfel");
    pears = fruit->addItem("Birnen");
    bread = root->addItem("Brot");
  }
  // Every callback notes "<what> <caption>".
  void listen() {
    auto caption = [](const Args& a) { return CaptionOf(Arg(a, 1)); };
    tree->itemMarked = log.block("marked", caption, tree.get(), {2});
    tree->itemSelected = log.block("selected", caption, tree.get(), {2});
    tree->itemExpanded = log.block("expanded", caption, tree.get(), {2});
    tree->itemCollapsed = log.block("collapsed", caption, tree.get(), {2});
  }
  void open() {
    tree->create();
    show(tree);
  }
  HWND hwnd() const { return H(tree); }
  Lines heard() { return log.take(); }
};

using Log = Lines;

}  // namespace

TEST(TreeView, ItemsLinkedBeforeAndAfterCreationShowInTheirOrder) {
  TreeForm form;
  auto root = form.tree->rootItem();
  auto fruit = root->addItem("Obst");
  fruit->addItem("Birnen");
  fruit->insItem(1, Value("\x8epfel"));  // "Äpfel"
  // An item made with New appears when it is added, with what it holds.
  auto sizes = New<XbpTreeViewItem>();
  sizes->caption = "Gr\x94\xe1" "e \xd5";
  sizes->cargo = 42;
  sizes->addItem("klein");
  root->addItem(sizes);
  EXPECT_EQ(root->getChildItems().size(), 2u);
  EXPECT_EQ(sizes->getParentItem(), root);
  EXPECT_EQ(fruit->getParentTree(), form.tree);
  EXPECT_EQ(sizes->getChildItems().at(1).as<XbpBaseTreeViewItem>()->getParentTree(), form.tree);

  form.open();
  EXPECT_EQ(Outline(form.hwnd()), L"Obst(\u00c4pfel,Birnen),Gr\u00f6\u00dfe \u20ac(klein)");

  // Linked to the living control: each appears where it was put.
  auto nuts = fruit->insItem(2, Value("N\x81sse"));
  fruit->insItem(99, Value("Zitronen"));
  root->insItem(1, Value("Brot"));
  auto free = New<XbpTreeViewItem>({Value("Kr\x84uter")});
  free->addItem("Dill");
  sizes->addItem(free);
  nuts->setCaption("Waln\x81sse");
  EXPECT_EQ(Outline(form.hwnd()),
            L"Brot,Obst(\u00c4pfel,Waln\u00fcsse,Birnen,Zitronen),Gr\u00f6\u00dfe \u20ac(klein,Kr\u00e4uter(Dill))");
  EXPECT_EQ(CaptionOf(fruit->getChildItems().at(2)), "Waln\x81sse");
  EXPECT_EQ(sizes->cargo, Value(42));

  // The native items go with the control and come back with it, those added
  // meanwhile too.
  form.tree->destroy();
  root->addItem("Wein");
  EXPECT_EQ(fruit->getChildItems().size(), 4u);
  form.tree->create();
  EXPECT_EQ(Outline(form.hwnd()),
            L"Brot,Obst(\u00c4pfel,Waln\u00fcsse,Birnen,Zitronen),Gr\u00f6\u00dfe \u20ac(klein,Kr\u00e4uter(Dill)),Wein");
}

TEST(TreeView, AnItemHangsInOnePlaceOnly) {
  TreeForm form;
  auto root = form.tree->rootItem();
  auto a = root->addItem("A");
  auto b = a->addItem("B");
  form.open();
  // Already linked, or linked below itself: refused, and nothing changes.
  EXPECT_EQ(root->addItem(b), nullptr);
  EXPECT_EQ(b->addItem(a), nullptr);
  EXPECT_EQ(b->addItem(b), nullptr);
  EXPECT_EQ(a->addItem(root), nullptr);
  EXPECT_EQ(root->addItem(Value(7)), nullptr);
  EXPECT_EQ(Outline(form.hwnd()), L"A(B)");
  EXPECT_EQ(b->getParentItem(), a);
  // Not a child of this item: nothing to delete.
  EXPECT_FALSE(root->delItem(b));
  EXPECT_EQ(Outline(form.hwnd()), L"A(B)");
}

TEST(TreeView, DeletedItemsGoWithTheirChildrenAndKnowTheyAreGone) {
  TreeForm form;
  form.plant();
  auto [fruit, apples, pears, bread] = std::tie(form.fruit, form.apples, form.pears, form.bread);
  auto boskop = apples->addItem("Boskop");
  form.open();
  ASSERT_EQ(SendMessageW(form.hwnd(), TVM_GETCOUNT, 0, 0), 5);

  EXPECT_TRUE(fruit->delItem(apples));
  EXPECT_EQ(Outline(form.hwnd()), L"Obst(Birnen),Brot");
  EXPECT_EQ(SendMessageW(form.hwnd(), TVM_GETCOUNT, 0, 0), 3);
  for (const TreeItemRef& gone : {apples, boskop}) {
    EXPECT_TRUE(gone->isDeleted());
    EXPECT_EQ(gone->getParentItem(), nullptr);
    EXPECT_EQ(gone->getParentTree(), nullptr);
    EXPECT_FALSE(gone->expand(true));
    EXPECT_FALSE(gone->select());
  }
  EXPECT_EQ(apples->getChildItems().size(), 0u);
  // Gone for good: it takes no part in a tree again, nor takes children.
  EXPECT_EQ(apples->addItem("Elstar"), nullptr);
  EXPECT_EQ(form.tree->rootItem()->addItem(apples), nullptr);
  EXPECT_FALSE(fruit->delItem(apples));

  // destroy() deletes the item from its parent the same way; deleting while
  // the control does not exist leaves nothing behind when it comes back.
  form.tree->destroy();
  pears->destroy();
  EXPECT_TRUE(pears->isDeleted());
  form.tree->create();
  EXPECT_EQ(Outline(form.hwnd()), L"Obst,Brot");
  bread->destroy();
  EXPECT_EQ(Outline(form.hwnd()), L"Obst");
  EXPECT_FALSE(fruit->isDeleted());
}

TEST(TreeView, TheProgramsChangesRunNoCallback) {
  TreeForm form;
  form.plant();
  auto root = form.tree->rootItem();
  auto [fruit, apples, bread] = std::tie(form.fruit, form.apples, form.bread);
  fruit->expand(true);  // a wish before the native item exists
  EXPECT_TRUE(fruit->isExpanded());
  form.listen();
  form.open();
  EXPECT_TRUE(NativelyExpanded(form.hwnd(), Find(form.hwnd(), L"Obst")));
  EXPECT_TRUE(fruit->isExpanded());

  EXPECT_TRUE(apples->select());
  EXPECT_TRUE(apples->isSelected());
  EXPECT_FALSE(bread->isSelected());
  EXPECT_EQ(form.tree->markedItem(), apples);
  EXPECT_EQ(Next(form.hwnd(), nullptr, TVGN_CARET), Find(form.hwnd(), L"\u00c4pfel"));
  EXPECT_TRUE(fruit->expand(false));
  EXPECT_FALSE(NativelyExpanded(form.hwnd(), Find(form.hwnd(), L"Obst")));
  EXPECT_TRUE(fruit->expand(true));
  EXPECT_TRUE(bread->select());
  // The marked item deleted: the control moves the mark by itself.
  bread->destroy();
  root->addItem("Wein")->addItem("Rot");
  // An item without children cannot open.
  EXPECT_FALSE(apples->expand(true));
  EXPECT_FALSE(apples->isExpanded());
  Drain();
  EXPECT_EQ(form.heard(), Log{});

  // A parent asked to open before it had children opens with its first one.
  auto tea = root->addItem("Tee");
  tea->expand(true);
  tea->addItem("Minze");
  EXPECT_TRUE(tea->isExpanded());
  EXPECT_TRUE(NativelyExpanded(form.hwnd(), Find(form.hwnd(), L"Tee")));
}

TEST(TreeView, MouseMarksChoosesOpensAndCloses) {
  TreeForm form;
  form.plant();
  form.listen();
  form.open();
  const HWND tree = form.hwnd();
  const TreeItemRef& fruit = form.fruit;

  Click(tree, ButtonPoint(tree, Find(tree, L"Obst")));
  Drain();
  EXPECT_EQ(form.heard(), Log{"expanded Obst"});
  EXPECT_TRUE(fruit->isExpanded());

  Click(tree, TextPoint(tree, Find(tree, L"Birnen")));
  Drain();
  EXPECT_EQ(form.heard(), Log{"marked Birnen"});
  EXPECT_EQ(CaptionOf(Value(form.tree->markedItem())), "Birnen");

  // A double click chooses the item; on an item with children it also opens
  // or closes it, as the control does.
  DoubleClick(tree, TextPoint(tree, Find(tree, L"Brot")));
  Drain();
  EXPECT_EQ(form.heard(), (Log{"marked Brot", "selected Brot"}));
  DoubleClick(tree, TextPoint(tree, Find(tree, L"Obst")));
  Drain();
  EXPECT_EQ(form.heard(), (Log{"marked Obst", "selected Obst", "collapsed Obst"}));
  EXPECT_FALSE(fruit->isExpanded());

  // A double click below the items chooses nothing.
  DoubleClick(tree, MAKELPARAM(100, 200));
  Drain();
  EXPECT_EQ(form.heard(), Log{});
}

TEST(TreeView, KeysMoveOpenCloseAndChoose) {
  TreeForm form;
  form.plant();
  const TreeItemRef& fruit = form.fruit;
  std::vector<long> keys;
  form.listen();
  form.tree->keyboard = [&](const Args& a) -> Value {
    keys.push_back(Arg(a, 1).integer());
    return NIL;
  };
  form.open();
  fruit->select();
  Drain();
  const HWND tree = form.hwnd();
  ASSERT_EQ(GetFocus(), tree);

  Key(tree, VK_RIGHT);  // opens
  Key(tree, VK_DOWN);   // into the children
  Key(tree, VK_RETURN);
  Drain();
  EXPECT_EQ(form.heard(), (Log{"expanded Obst", "marked \x8epfel", "selected \x8epfel"}));
  EXPECT_EQ(keys, (std::vector<long>{kKeyRight, kKeyDown, kKeyEnter}));

  Key(tree, VK_LEFT);  // to the parent
  Type(form.tree, L"-");
  Drain();
  EXPECT_EQ(form.heard(), (Log{"marked Obst", "collapsed Obst"}));
  Type(form.tree, L"+");
  Key(tree, VK_SUBTRACT);  // the keypad's minus
  Drain();
  EXPECT_EQ(form.heard(), (Log{"expanded Obst", "collapsed Obst"}));
  EXPECT_FALSE(fruit->isExpanded());
  // The keypad's minus types its character too, which finds the item closed.
  EXPECT_EQ(std::vector<long>(keys.end() - 2, keys.end()), (std::vector<long>{'+', '-'}));
}

TEST(TreeView, ColoursAndFontComeFromPresentationParameters) {
  TreeForm plain;
  plain.open();
  // Without colours of its own it keeps the system's, not the dialog's.
  EXPECT_EQ(SendMessageW(plain.hwnd(), TVM_GETBKCOLOR, 0, 0), -1);
  EXPECT_EQ(SendMessageW(plain.hwnd(), TVM_GETTEXTCOLOR, 0, 0), -1);

  TreeForm form(Value{Value{kPPForeground, 1}, Value{kPPBackground, 14}, Value{kPPCompoundName, "10.Arial Fett"}});
  form.tree->rootItem()->addItem("Obst");
  form.open();
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(form.hwnd(), TVM_GETBKCOLOR, 0, 0)), ColorOf(14));
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(form.hwnd(), TVM_GETTEXTCOLOR, 0, 0)), ColorOf(1));
  auto font = reinterpret_cast<HFONT>(SendMessageW(form.hwnd(), WM_GETFONT, 0, 0));
  EXPECT_EQ(font, FontOf("10.Arial Fett"));
  EXPECT_EQ(LogFontOf(font).lfWeight, FW_BOLD);

  // Set later, they take effect with the next painting.
  form.tree->setColorBG(15);
  UpdateWindow(form.hwnd());
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(form.hwnd(), TVM_GETBKCOLOR, 0, 0)), ColorOf(15));
  HDC dc = GetDC(form.hwnd());
  EXPECT_EQ(GetPixel(dc, 150, 200), ColorOf(15));
  ReleaseDC(form.hwnd(), dc);
}

TEST(TreeView, DestroyGivesBackEveryHandleAndDropsTheCallbacks) {
  bool keep = false;  // in the second round: the first loads fonts and the common controls
  EXPECT_EQ(HandlesLeftBy([&keep] {
    TreeForm form(Value{Value{kPPBackground, 14}, Value{kPPCompoundName, "10.Arial Fett"}});
    form.tree->rootItem()->addItem("Obst")->addItem("Birnen");
    form.listen();
    form.open();
    form.tree->destroy();
    Drain();
    if (keep) {
      EXPECT_TRUE(form.tree->itemMarked.isNil());
      EXPECT_TRUE(form.tree->itemSelected.isNil());
      EXPECT_TRUE(form.tree->itemExpanded.isNil());
      EXPECT_TRUE(form.tree->itemCollapsed.isNil());
      // The items stay, without native items.
      EXPECT_EQ(form.tree->rootItem()->getChildItems().size(), 1u);
      EXPECT_FALSE(form.tree->rootItem()->getChildItems().at(1).as<XbpBaseTreeViewItem>()->select());
    }
    keep = true;
  }), 0);
}

TEST(TreeView, ItemsOpenedOnTheWayToAMarkedItemStayOpenWhenTheControlComesBack) {
  TreeForm form;
  form.plant();
  form.listen();
  form.open();
  // Marking an item inside a closed one opens the way to it, by the control.
  EXPECT_FALSE(form.fruit->isExpanded());
  EXPECT_TRUE(form.apples->select());
  EXPECT_TRUE(NativelyExpanded(form.hwnd(), Find(form.hwnd(), L"Obst")));
  EXPECT_TRUE(form.fruit->isExpanded());
  Drain();
  EXPECT_EQ(form.heard(), Log{});
  form.tree->destroy();
  EXPECT_TRUE(form.fruit->isExpanded());
  form.tree->create();
  EXPECT_TRUE(form.fruit->isExpanded());
  EXPECT_TRUE(NativelyExpanded(form.hwnd(), Find(form.hwnd(), L"Obst")));
}

template <>
struct ControlKind<valumat::XbpTreeView> : ControlKind<valumat::XbpStatic> {
  static std::shared_ptr<valumat::XbpTreeView> make(const rt::WindowRef& parent) {
    auto tree = rt::New<valumat::XbpTreeView>({parent, rt::NIL, rt::Value{20, 20}, rt::Value{160, 90}, everykind::Colours()});
    tree->create();
    tree->rootItem()->addItem("Wurzel");
    return tree;
  }
  static std::pair<COLORREF, COLORREF> colours(const rt::WindowRef& tree) {
    return {static_cast<COLORREF>(SendMessageW(guitest::H(tree), TVM_GETTEXTCOLOR, 0, 0)),
            static_cast<COLORREF>(SendMessageW(guitest::H(tree), TVM_GETBKCOLOR, 0, 0))};
  }
};
INSTANTIATE_TYPED_TEST_SUITE_P(TreeView, EveryKind, valumat::XbpTreeView);
