// The menu bar of a dialog: made on first use, shown on the window, chosen
// from with the mouse and the keyboard, and gone with the window.
#include <gtest/gtest.h>

#include "support/menus.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;
using menutest::MenuForm;
using valumat::XbpDialog;
using valumat::XbpMenu;
using valumat::XbpMenuBar;

namespace {

std::shared_ptr<XbpDialog> NewDialog() {
  return New<XbpDialog>({AppDesktop(), NIL, Value{140, 140}, Value{320, 200}, NIL, false});
}

COLORREF BrushColor(HBRUSH brush) {
  LOGBRUSH lb{};
  GetObjectW(brush, sizeof lb, &lb);
  return lb.lbColor;
}

HBRUSH MenuBackground(HMENU menu) {
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  GetMenuInfo(menu, &info);
  return info.hbrBack;
}

// "Datei" with a nested "Export" menu, and a command on the bar itself; every
// menu logs what is chosen in it.
struct BarForm : MenuForm {
  std::shared_ptr<XbpMenu> exports;

  explicit BarForm(const Value& presParams = NIL) : MenuForm(presParams) {
    file->addItem({"~Neu", record("Neu", file)});
    file->addItem({"\xd5-~Kurse", record("Kurse", file)});
    exports = New<XbpMenu>({file});
    exports->title = "~Export";
    exports->addItem({"~CSV", record("CSV", exports)});
    file->addItem({exports, NIL});
    bar->addItem({"~Hilfe", record("Hilfe", bar)});
    bar->itemSelected = record("bar", bar);
    file->itemSelected = record("file", file);
    exports->itemSelected = record("exports", exports);
    show();
  }
};

// Keys typed while the system's menu loop runs: the loop dispatches thread
// timers, so a timer types once a menu has opened.
struct MenuTyping {
  wchar_t letter = 0;
  HWND target = nullptr;
  HMENU opened = nullptr;
  int ticks = 0;
};
MenuTyping g_typing;

void CALLBACK TypeIntoOpenMenu(HWND, UINT, UINT_PTR, DWORD) {
  ++g_typing.ticks;
  HMENU open = menutest::OpenMenu();
  if (open && !g_typing.opened) {
    g_typing.opened = open;
    PostMessageW(g_typing.target, WM_CHAR, g_typing.letter, 1);
  } else if (g_typing.ticks > 100) {
    EndMenu();  // never leave the suite inside a menu loop
  }
}

}  // namespace

TEST(MenuBar, TheDialogsBarIsMadeOnFirstUseAndShownOnItsWindow) {
  auto plain = NewDialog();
  plain->create();
  auto dlg = NewDialog();
  auto bar = dlg->menuBar();  // before the window exists
  ASSERT_TRUE(bar);
  EXPECT_TRUE(bar->isCreated());
  EXPECT_EQ(dlg->menuBar(), bar);
  bar->addItem({"~Hilfe", NIL});
  dlg->create();
  EXPECT_EQ(GetMenu(H(dlg)), bar->nativeMenu());
  EXPECT_EQ(GetMenuItemCount(GetMenu(H(dlg))), 1);
  // The bar's line comes off the client area, and the drawing area follows.
  RECT withBar{}, without{}, area{};
  GetClientRect(H(dlg), &withBar);
  GetClientRect(H(plain), &without);
  GetClientRect(H(dlg->drawingArea()), &area);
  EXPECT_LT(withBar.bottom, without.bottom);
  EXPECT_EQ(area.bottom, withBar.bottom);

  // A bar of the program's own, here given the drawing area, replaces it.
  const long menus = LiveHandles(HandleKind::Menu);
  auto own = New<XbpMenuBar>({dlg->drawingArea()});
  own->create();
  EXPECT_EQ(dlg->menuBar(), own);
  EXPECT_EQ(GetMenu(H(dlg)), own->nativeMenu());
  EXPECT_TRUE(own->isDerivedFrom("XbpBaseMenubar"));
  // The first one is off the window and its own again.
  EXPECT_TRUE(IsMenu(bar->nativeMenu()));
  EXPECT_EQ(LiveHandles(HandleKind::Menu), menus + 1);
  bar->destroy();
  EXPECT_EQ(LiveHandles(HandleKind::Menu), menus);
  EXPECT_EQ(GetMenu(H(dlg)), own->nativeMenu());

  // Without a dialog there is no window to show a bar on.
  auto orphan = New<XbpMenuBar>();
  orphan->create();
  EXPECT_FALSE(orphan->isCreated());
  dlg->destroy();
  plain->destroy();
  Drain();
}

TEST(MenuBar, ItemsOfTheBarAndOfNestedMenusAreChosenWithTheirIndex) {
  BarForm form;
  HMENU bar = GetMenu(H(form.dlg));
  ASSERT_EQ(bar, form.bar->nativeMenu());
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  HMENU file = GetSubMenu(bar, 0);
  HMENU exports = GetSubMenu(file, 2);
  ASSERT_EQ(exports, form.exports->nativeMenu());

  form.click(exports, 1);
  form.click(bar, 2);
  form.click(file, 2);
  Drain();
  EXPECT_EQ(*form.calls.lines,
            (std::vector<std::string>{"CSV 1", "exports 1", "Hilfe 2", "bar 2", "Kurse 2", "file 2"}));

  // Program-made changes on the bar reach the window's menu at once, and
  // choose nothing.
  form.calls.take();
  form.bar->disableItem(2);
  EXPECT_TRUE(GetMenuState(bar, 1, MF_BYPOSITION) & MF_GRAYED);
  form.bar->insItem(2, {"~Ansicht", form.record("Ansicht", form.bar)});
  EXPECT_EQ(GetMenuItemCount(bar), 3);
  form.bar->delItem(3);
  EXPECT_EQ(GetMenuItemCount(bar), 2);
  Drain();
  EXPECT_TRUE(form.calls.lines->empty());
}

TEST(MenuBar, AltAndKeyLettersOpenTheMenuAndChooseAnItem) {
  BarForm form;
  SetAppFocus(form.dlg);
  Drain();
  g_typing = MenuTyping{L'k', H(form.dlg)};
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, TypeIntoOpenMenu);
  // Alt+D as the system delivers it: the character with the Alt flag.
  PostMessageW(H(form.dlg), WM_SYSCHAR, L'd', 0x20000001);
  Drain();
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_typing.opened, form.file->nativeMenu());
  EXPECT_EQ(*form.calls.lines, (std::vector<std::string>{"Kurse 2", "file 2"}));
}

TEST(MenuBar, BackgroundComesFromThePresentationParameters) {
  const long color = 0x1000000 | RGB(40, 160, 90);
  BarForm form(Value{Value{kPPBackground, color}});
  HBRUSH back = MenuBackground(form.bar->nativeMenu());
  ASSERT_TRUE(back);
  EXPECT_EQ(BrushColor(back), ColorOf(color));
  // The bar's menus inherit it.
  ASSERT_TRUE(MenuBackground(form.exports->nativeMenu()));
  EXPECT_EQ(BrushColor(MenuBackground(form.exports->nativeMenu())), ColorOf(color));

  // Under Wine only a pop-up's frame shows it; Windows fills the menus with it.
}

TEST(MenuBar, DestroyTakesTheBarOffItsWindow) {
  BarForm form;
  const long menus = LiveHandles(HandleKind::Menu);
  HMENU bar = form.bar->nativeMenu(), file = form.file->nativeMenu();
  form.bar->destroy();
  EXPECT_EQ(GetMenu(H(form.dlg)), nullptr);
  EXPECT_FALSE(IsMenu(bar));
  EXPECT_FALSE(IsMenu(file));
  EXPECT_FALSE(form.file->isCreated());
  EXPECT_EQ(LiveHandles(HandleKind::Menu), menus);
  // The dialog makes a new one when asked.
  auto fresh = form.dlg->menuBar();
  EXPECT_NE(fresh, form.bar);
  EXPECT_EQ(GetMenu(H(form.dlg)), fresh->nativeMenu());
}

TEST(MenuBar, TheWindowTakesEveryMenuAndCallbackWithIt) {
  const Value background{Value{kPPBackground, 14}};
  { BarForm warm(background); }  // font cache and the like warmed up once
  const long before = LiveHandles();
  auto token = std::make_shared<int>(0);
  const std::weak_ptr<int> watch = token;
  std::shared_ptr<XbpBaseMenubar> bar;
  std::shared_ptr<XbpMenu> file, exports;
  HMENU natives[3] = {};
  {
    BarForm form(background);
    EXPECT_GT(LiveHandles(), before);  // the background brushes
    // Closures that hold the menus themselves, as application code's do.
    auto menu = form.file;
    form.file->addItem({"~Ende", [token, menu](const Args&) -> Value { return NIL; }});
    form.exports->itemSelected = [token, menu](const Args&) -> Value { return NIL; };
    bar = form.bar;
    file = form.file;
    exports = form.exports;
    natives[0] = bar->nativeMenu();
    natives[1] = file->nativeMenu();
    natives[2] = exports->nativeMenu();
    token.reset();
  }  // the dialog is destroyed here
  for (HMENU native : natives) EXPECT_FALSE(IsMenu(native));
  EXPECT_EQ(LiveHandles(), before);
  EXPECT_TRUE(watch.expired());
  EXPECT_FALSE(bar->isCreated());
  EXPECT_FALSE(file->isCreated());
  EXPECT_FALSE(exports->isCreated());
  EXPECT_EQ(bar->numItems(), 0);
  // Nothing left for the objects to destroy a second time.
  bar.reset();
  file.reset();
  exports.reset();
  EXPECT_EQ(LiveHandles(), before);
}

