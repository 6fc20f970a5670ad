// Menus: their items on the native menu, choosing an item, the submenu tree
// and who destroys which native menu.
#include <gtest/gtest.h>

#include "support/menus.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;
using menutest::MenuForm;
using valumat::XbpMenu;

namespace {

std::wstring TextAt(HMENU menu, int index) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(index), text, 128, MF_BYPOSITION);
  return text;
}

UINT StateAt(HMENU menu, int index) { return GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION); }

}  // namespace

TEST(Menu, ItemsLookNativeWithKeyLettersSeparatorsAndStates) {
  MenuForm form;
  auto recent = New<XbpMenu>({form.file});
  recent->title = "~Zuletzt & oft";
  recent->addItem({"Gr\x94\xe1" "e \xd5", NIL});  // kept until the menu exists
  form.file->addItem({"~Neu", NIL});
  form.file->addItem({"Speichern & ~Schlie\xe1" "en", NIL, NIL, kMenuDisabled});
  form.file->addItem({NIL, NIL, kMenuSeparator});
  form.file->addItem({"~Autosave", NIL, NIL, kMenuChecked});
  form.file->addItem({recent, NIL});

  HMENU menu = form.file->nativeMenu();
  ASSERT_EQ(GetMenuItemCount(menu), 5);
  EXPECT_EQ(TextAt(menu, 0), L"&Neu");
  EXPECT_EQ(TextAt(menu, 1), L"Speichern && &Schließen");
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(menu, 2, TRUE, &info);
  EXPECT_TRUE(info.fType & MFT_SEPARATOR);
  EXPECT_TRUE(StateAt(menu, 1) & MF_GRAYED);
  EXPECT_FALSE(StateAt(menu, 0) & (MF_GRAYED | MF_CHECKED));
  EXPECT_TRUE(StateAt(menu, 3) & MF_CHECKED);

  // The submenu was created by being added, with the item it already had.
  ASSERT_TRUE(recent->isCreated());
  EXPECT_EQ(GetSubMenu(menu, 4), recent->nativeMenu());
  EXPECT_EQ(TextAt(menu, 4), L"&Zuletzt && oft");
  EXPECT_EQ(TextAt(recent->nativeMenu(), 0), L"Größe €");
  EXPECT_EQ(GetSubMenu(GetMenu(H(form.dlg)), 0), form.file->nativeMenu());
  EXPECT_EQ(TextAt(GetMenu(H(form.dlg)), 0), L"&Datei");
}

TEST(Menu, ItemsAreAnsweredAsStoredAndChangeTheNativeMenuAtOnce) {
  MenuForm form;
  Value block = [](const Args&) -> Value { return NIL; };
  const long keyBit = 0x20000;
  EXPECT_EQ(form.file->addItem({"~Neu", block}), 1);
  EXPECT_EQ(form.file->addItem({"~Ende", NIL, NIL, keyBit | kMenuChecked}), 2);
  EXPECT_EQ(form.file->insItem(2, {"~Drucken", NIL}), 3);

  Value item = form.file->getItem(1);
  ASSERT_EQ(item.size(), 4u);
  EXPECT_EQ(item.at(1), Value("~Neu"));
  EXPECT_EQ(item.at(2), block);
  EXPECT_TRUE(item.at(3).isNil());
  EXPECT_TRUE(item.at(4).isNil());
  EXPECT_EQ(form.file->getItem(3).at(4), Value(keyBit | kMenuChecked));
  // A new array each time: changing it changes nothing.
  item[1] = "anders";
  EXPECT_EQ(form.file->getItem(1).at(1), Value("~Neu"));
  EXPECT_TRUE(form.file->getItem(4).isNil());
  EXPECT_TRUE(form.file->getItem(0).isNil());

  HMENU menu = form.file->nativeMenu();
  EXPECT_EQ(TextAt(menu, 1), L"&Drucken");
  // State changes keep every other bit of the attribute.
  EXPECT_TRUE(form.file->checkItem(3, false));
  EXPECT_EQ(form.file->getItem(3).at(4), Value(keyBit));
  EXPECT_FALSE(StateAt(menu, 2) & MF_CHECKED);
  EXPECT_TRUE(form.file->disableItem(3));
  EXPECT_EQ(form.file->getItem(3).at(4), Value(keyBit | kMenuDisabled));
  EXPECT_TRUE(StateAt(menu, 2) & MF_GRAYED);
  EXPECT_FALSE(form.file->isItemEnabled(3));
  EXPECT_TRUE(form.file->enableItem(3));
  EXPECT_TRUE(form.file->isItemEnabled(3));
  EXPECT_FALSE(StateAt(menu, 2) & MF_GRAYED);
  // An item without attribute gets one when a state bit is set, and keeps
  // none while it is only cleared.
  EXPECT_TRUE(form.file->enableItem(1));
  EXPECT_TRUE(form.file->getItem(1).at(4).isNil());
  EXPECT_TRUE(form.file->checkItem(1));
  EXPECT_TRUE(form.file->isItemChecked(1));
  EXPECT_EQ(form.file->getItem(1).at(4), Value(kMenuChecked));
  EXPECT_TRUE(StateAt(menu, 0) & MF_CHECKED);

  EXPECT_TRUE(form.file->setItem(2, {"~Vorschau", NIL, NIL, kMenuDisabled}));
  EXPECT_EQ(TextAt(menu, 1), L"&Vorschau");
  EXPECT_TRUE(StateAt(menu, 1) & MF_GRAYED);
  EXPECT_TRUE(form.file->delItem(1));
  EXPECT_EQ(form.file->numItems(), 2);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  EXPECT_EQ(TextAt(menu, 0), L"&Vorschau");
  EXPECT_EQ(TextAt(menu, 1), L"&Ende");

  // Positions outside the items change nothing.
  EXPECT_EQ(form.file->insItem(4, {"x", NIL}), 0);
  EXPECT_EQ(form.file->insItem(0, {"x", NIL}), 0);
  EXPECT_FALSE(form.file->delItem(3));
  EXPECT_FALSE(form.file->setItem(0, {"x", NIL}));
  EXPECT_FALSE(form.file->checkItem(3));
  EXPECT_FALSE(form.file->isItemEnabled(3));
  EXPECT_EQ(GetMenuItemCount(menu), 2);
}

TEST(Menu, ChoosingAnItemRunsItsBlockThenItemSelectedThroughTheQueue) {
  MenuForm form;
  form.show();
  HMENU menu = form.file->nativeMenu();
  form.file->itemSelected = form.record("itemSelected", form.file);
  form.file->addItem({"~Neu", form.record("Neu", form.file)});
  form.file->addItem({"~Ende", form.record("Ende", form.file)});
  form.file->addItem({"~Ohne", NIL, NIL, kMenuDisabled});

  // Program-made changes are not choices.
  form.file->checkItem(1);
  form.file->setItem(1, {"~Neu", form.record("Neu", form.file)});
  form.file->enableItem(3);
  Drain();
  EXPECT_TRUE(form.calls.lines->empty());

  form.click(menu, 2);
  form.click(menu, 3);
  Drain();
  EXPECT_EQ(*form.calls.lines, (std::vector<std::string>{"Ende 2", "itemSelected 2", "itemSelected 3"}));

  // Nothing runs inside the window procedure: the queue delivers.
  form.calls.take();
  SendMessageW(H(form.dlg), WM_COMMAND, MAKEWPARAM(GetMenuItemID(menu, 0), 0), 0);
  EXPECT_TRUE(form.calls.lines->empty());
  const std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].code, kEvSelected);
  EXPECT_EQ(events[0].mp1, Value(1));
  EXPECT_EQ(events[0].object, form.file);
  EXPECT_EQ(*form.calls.lines, (std::vector<std::string>{"Neu 1", "itemSelected 1"}));
}

TEST(Menu, ADisabledOrRemovedItemCannotBeChosen) {
  MenuForm form;
  form.show();
  HMENU menu = form.file->nativeMenu();
  form.file->itemSelected = form.record("itemSelected", form.file);
  form.file->addItem({"~Neu", NIL, NIL, kMenuDisabled});
  form.file->addItem({"~Ende", NIL});
  const UINT disabled = GetMenuItemID(menu, 0);
  const UINT removed = GetMenuItemID(menu, 1);
  form.click(menu, 1);
  form.file->delItem(2);
  PostMessageW(H(form.dlg), WM_COMMAND, MAKEWPARAM(removed, 0), 0);
  Drain();
  EXPECT_TRUE(form.calls.lines->empty());
  // The removed item's command is nobody's; a new item gets a command of its own.
  form.file->addItem({"~Ende", NIL});
  EXPECT_NE(GetMenuItemID(menu, 1), removed);
  PostMessageW(H(form.dlg), WM_COMMAND, MAKEWPARAM(disabled, 0), 0);
  form.click(menu, 2);
  Drain();
  EXPECT_EQ(*form.calls.lines, (std::vector<std::string>{"itemSelected 2"}));
}

TEST(Menu, SubmenusFormATreeWithoutCyclesOrSharedMenus) {
  MenuForm form;
  auto sub = New<XbpMenu>({form.file});
  auto subsub = New<XbpMenu>({sub});
  sub->create();
  subsub->create();
  auto bar = form.bar;
  EXPECT_EQ(form.file->addItem(Value("kein Feld")), 0);
  EXPECT_EQ(form.file->addItem({Value(123), NIL}), 0);
  EXPECT_EQ(form.file->addItem({bar, NIL}), 0);       // a bar is no submenu
  EXPECT_EQ(form.file->addItem({form.file, NIL}), 0);  // not inside itself
  EXPECT_EQ(form.file->addItem({sub, NIL}), 1);
  EXPECT_EQ(sub->addItem({subsub, NIL}), 1);
  EXPECT_EQ(bar->addItem({sub, NIL}), 0);  // one item opens a menu
  EXPECT_EQ(form.file->addItem({sub, NIL}), 0);
  auto top = New<XbpMenu>();
  top->create();
  auto middle = New<XbpMenu>({top});
  EXPECT_EQ(top->addItem({middle, NIL}), 1);
  EXPECT_EQ(middle->addItem({top, NIL}), 0);  // nor inside its own submenu
  top->destroy();
  // Replacing an item by the submenu it holds is no second place.
  sub->title = "~Mehr";
  EXPECT_TRUE(form.file->setItem(1, {sub, NIL}));
  EXPECT_EQ(TextAt(form.file->nativeMenu(), 0), L"&Mehr");
  EXPECT_EQ(GetSubMenu(form.file->nativeMenu(), 0), sub->nativeMenu());
  EXPECT_EQ(form.file->getItem(1).at(1), Value(sub));
  EXPECT_EQ(GetMenuItemCount(form.file->nativeMenu()), 1);
}

TEST(Menu, ASubmenuIsDestroyedByTheMenuThatHoldsItAndByNobodyElse) {
  MenuForm form;
  const long before = LiveHandles(HandleKind::Menu);
  auto sub = New<XbpMenu>({form.file});
  sub->create();
  sub->addItem({"~Eins", NIL});
  EXPECT_EQ(LiveHandles(HandleKind::Menu), before + 1);
  form.file->addItem({sub, NIL});
  EXPECT_EQ(LiveHandles(HandleKind::Menu), before);  // the file menu owns it now
  HMENU native = sub->nativeMenu();

  // Taken out, it is its own again, with its items.
  EXPECT_TRUE(form.file->delItem(1));
  EXPECT_TRUE(IsMenu(native));
  EXPECT_EQ(LiveHandles(HandleKind::Menu), before + 1);
  EXPECT_EQ(sub->numItems(), 1);
  form.file->addItem({"~Zwei", NIL});
  form.file->addItem({sub, NIL});

  // Destroying it takes its item out of the menu that held it.
  sub->destroy();
  EXPECT_FALSE(IsMenu(native));
  EXPECT_FALSE(sub->isCreated());
  EXPECT_EQ(form.file->numItems(), 1);
  EXPECT_EQ(GetMenuItemCount(form.file->nativeMenu()), 1);
  EXPECT_EQ(LiveHandles(HandleKind::Menu), before);

  // A submenu whose holder is destroyed goes with it and is forgotten.
  auto other = New<XbpMenu>({form.file});
  other->addItem({"~Drei", NIL});
  form.file->addItem({other, NIL});
  HMENU otherNative = other->nativeMenu();
  form.file->destroy();
  EXPECT_FALSE(IsMenu(otherNative));
  EXPECT_FALSE(other->isCreated());
  EXPECT_EQ(other->numItems(), 0);
  EXPECT_EQ(LiveHandles(HandleKind::Menu), before);
  // The bar let go of the destroyed menu.
  EXPECT_EQ(form.bar->numItems(), 0);
  EXPECT_EQ(GetMenuItemCount(GetMenu(H(form.dlg))), 0);
}

TEST(Menu, AMenuOutsideAnyBarDestroysItsNativeMenuWithItsSubmenus) {
  const long before = LiveHandles(HandleKind::Menu);
  auto popup = New<XbpMenu>();
  popup->create();
  auto sub = New<XbpMenu>({popup});
  popup->addItem({sub, NIL});
  HMENU native = popup->nativeMenu(), inner = sub->nativeMenu();
  EXPECT_EQ(LiveHandles(HandleKind::Menu), before + 1);
  popup->destroy();
  EXPECT_FALSE(IsMenu(native));
  EXPECT_FALSE(IsMenu(inner));
  EXPECT_FALSE(sub->isCreated());
  EXPECT_EQ(LiveHandles(HandleKind::Menu), before);

  // Dropped without destroy, a menu takes its native menus with it too.
  {
    auto dropped = New<XbpMenu>();
    auto loose = New<XbpMenu>();  // no parent that it would keep alive
    dropped->create();
    dropped->addItem({loose, NIL});
    native = dropped->nativeMenu();
    inner = loose->nativeMenu();
  }
  EXPECT_FALSE(IsMenu(native));
  EXPECT_FALSE(IsMenu(inner));
  EXPECT_EQ(LiveHandles(HandleKind::Menu), before);
}
