// Key letters of the menu bar: which item a letter names, what the bar shows
// underlined, and what Alt with a letter opens or runs, before the controls'
// own letters.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "support/menus.h"
#include "pushbutton.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;
using menutest::MenuForm;
using valumat::XbpMenu;
using valumat::XbpMenuBar;

namespace {

// A bar that also answers X with its second item, a letter no title marks.
class LetterBar : public XbpMenuBar {
  RT_CLASS("LetterBar", LetterBar, XbpMenuBar)

 public:
  Value OnMenuKey(Value& key, const Value& ignored) override {
    if (key.isNumber() && (key.integer() == 'x' || key.integer() == 'X')) {
      key = 2;
      return 2;
    }
    return XbpMenuBar::OnMenuKey(key, ignored);
  }
};

// "Datei" (with the key-letter bit) and "Hilfe" (without) open menus, the
// rest are plain items; two buttons below carry the letters D and H.
struct KeysForm : MenuForm {
  std::shared_ptr<XbpMenu> help = New<XbpMenu>({bar});
  std::shared_ptr<valumat::XbpPushButton> print, hints;

  KeysForm() {
    file->addItem({"~Neu", record("Neu", file)});
    help->title = "~Hilfe";
    help->addItem({"~Info", record("Info", help)});
    bar->addItem({help, NIL});
    bar->addItem({"&Ansicht", record("Ansicht", bar), NIL, kMenuKeyLetter});
    bar->addItem({"E&xtras ~Optionen", record("Optionen", bar), NIL, kMenuKeyLetter});
    bar->addItem({"Ende~", record("Ende", bar), NIL, kMenuKeyLetter});
    bar->addItem({"~Datum", record("Datum", bar), NIL, kMenuKeyLetter});
    bar->addItem({"~\x84nderungen", record("\x84nderungen", bar), NIL, kMenuKeyLetter | kMenuChecked});
    bar->addItem({"~Favoriten", record("Favoriten", bar), NIL, kMenuChecked});
    bar->itemSelected = record("bar", bar);
    print = button("~Drucken", 10);
    hints = button("~Hinweise", 120);
    show();
    SetAppFocus(print);
    Drain();
  }

  std::shared_ptr<valumat::XbpPushButton> button(const std::string& caption, long x) {
    auto b = New<valumat::XbpPushButton>({dlg->drawingArea(), NIL, Value{x, 20}, Value{100, 26}});
    b->caption = caption;
    b->activate = calls.block(caption, {});
    b->create();
    return b;
  }

  std::wstring shown(int pos) const {
    wchar_t text[128] = {};
    GetMenuStringW(bar->nativeMenu(), static_cast<UINT>(pos - 1), text, 128, MF_BYPOSITION);
    return text;
  }

  // OnMenuKey's answer and the index it stored (the key when unchanged).
  std::pair<long, long> answer(long code) const {
    Value key(code);
    const long result = bar->OnMenuKey(key, NIL).integer();
    return {result, key.integer()};
  }
};

// Watches, from a timer that the system's menu loop also runs, which menu
// opens; closes it at once. With a letter, first types it into the window.
struct MenuWatch {
  HWND target = nullptr;
  wchar_t letter = 0;
  HMENU opened = nullptr;
  int ticks = 0;
};
MenuWatch g_watch;

void CALLBACK WatchMenus(HWND, UINT, UINT_PTR, DWORD) {
  ++g_watch.ticks;
  if (g_watch.letter) {
    PostMessageW(g_watch.target, WM_CHAR, std::exchange(g_watch.letter, 0), 1);
  } else if (HMENU open = menutest::OpenMenu()) {
    g_watch.opened = open;
    EndMenu();
  } else if (g_watch.ticks > 30) {
    EndMenu();  // never leave the suite inside a menu loop
  }
}

// The menu that opened while `act` and the queue ran.
HMENU OpenedBy(const std::function<void()>& act, HWND target = nullptr, wchar_t letter = 0) {
  g_watch = MenuWatch{target, letter};
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, WatchMenus);
  act();
  Drain();
  KillTimer(nullptr, timer);
  return g_watch.opened;
}

}  // namespace

TEST(MenuKeys, TheFirstItemWithTheBitWhoseTitleMarksTheLetterAnswers) {
  KeysForm form;
  using Answer = std::pair<long, long>;
  // "~Datei", a submenu's title, in either case; "~Datum" comes too late.
  EXPECT_EQ(form.answer('D'), (Answer{2, 1}));
  EXPECT_EQ(form.answer('d'), (Answer{2, 1}));
  // "~Hilfe" lacks the bit, "~Favoriten" has other bits only.
  EXPECT_EQ(form.answer('h'), (Answer{0, 'h'}));
  EXPECT_EQ(form.answer('F'), (Answer{0, 'F'}));
  // "&" marks the letter only where there is no "~".
  EXPECT_EQ(form.answer('a'), (Answer{2, 3}));
  EXPECT_EQ(form.answer('x'), (Answer{0, 'x'}));
  EXPECT_EQ(form.answer('O'), (Answer{2, 4}));
  // A marker at the end marks nothing; nor do characters that are no key.
  EXPECT_EQ(form.answer('e'), (Answer{0, 'e'}));
  EXPECT_EQ(form.answer('~'), (Answer{0, '~'}));
  EXPECT_EQ(form.answer(0x144), (Answer{0, 0x144}));
  // Umlauts match across case: Ä (0x8E) for "~ä".
  EXPECT_EQ(form.answer(0x8E), (Answer{2, 7}));
  Value text("D");
  EXPECT_EQ(form.bar->OnMenuKey(text, NIL).integer(), 0);
  EXPECT_EQ(text.text(), "D");

  // What shows underlined is exactly what answers.
  EXPECT_EQ(form.shown(1), L"&Datei");
  EXPECT_EQ(form.shown(2), L"Hilfe");
  EXPECT_EQ(form.shown(3), L"&Ansicht");
  EXPECT_EQ(form.shown(4), L"E&&xtras &Optionen");
  EXPECT_EQ(form.shown(5), L"Ende");
  EXPECT_EQ(form.shown(6), L"Datum");
  EXPECT_EQ(form.shown(7), L"&\u00e4nderungen");
  EXPECT_EQ(form.shown(8), L"Favoriten");
  // Without "Datei" the letter D passes on to "Datum".
  form.bar->delItem(1);
  EXPECT_EQ(form.answer('d'), (Answer{2, 5}));
  EXPECT_EQ(form.shown(5), L"&Datum");
  // Menus keep their "~" letters whatever the bar answers.
  wchar_t text2[32] = {};
  GetMenuStringW(form.help->nativeMenu(), 0, text2, 32, MF_BYPOSITION);
  EXPECT_STREQ(text2, L"&Info");

  // The bar the runtime makes for a dialog itself answers and shows letters too.
  auto dlg = New<valumat::XbpDialog>({AppDesktop(), NIL, Value{10, 10}, Value{200, 100}, NIL, false});
  auto own = dlg->menuBar();
  own->addItem({"~Neu", NIL, NIL, kMenuKeyLetter});
  Value key('n');
  EXPECT_EQ(own->OnMenuKey(key, NIL).integer(), 2);
  EXPECT_EQ(key.integer(), 1);
  dlg->create();
  wchar_t text3[32] = {};
  GetMenuStringW(GetMenu(H(dlg)), 0, text3, 32, MF_BYPOSITION);
  EXPECT_STREQ(text3, L"&Neu");
  dlg->destroy();
}

TEST(MenuKeys, AltWithALetterOpensOrRunsTheItemBeforeTheControlsLetters) {
  KeysForm form;
  // Datei opens, although the focused button has D as its letter too.
  EXPECT_EQ(OpenedBy([&] { AltLetter(H(form.print), L'd'); }), form.file->nativeMenu());
  // Hilfe lacks the bit: H goes on to the button that has it.
  EXPECT_EQ(OpenedBy([&] { AltLetter(H(form.print), L'h'); }), nullptr);
  EXPECT_EQ(*form.calls.lines, std::vector<std::string>{"~Hinweise"});
  form.calls.take();
  // A plain item runs through the queue as a click would.
  AltLetter(H(form.hints), L'a');
  Drain();
  EXPECT_EQ(*form.calls.lines, (std::vector<std::string>{"Ansicht 3", "bar 3"}));
  form.calls.take();
  // A disabled item answers its letter but does nothing.
  form.bar->disableItem(3);
  AltLetter(H(form.hints), L'A');
  Drain();
  EXPECT_TRUE(form.calls.lines->empty());
  // A letter nobody answers opens nothing.
  EXPECT_EQ(OpenedBy([&] { AltLetter(H(form.print), L'q'); }), nullptr);
  EXPECT_TRUE(form.calls.lines->empty());
}

TEST(MenuKeys, ABarOfItsOwnOpensWhatItAnswersWithAltAndWhileActive) {
  KeysForm form;
  // Set on the window in place of the form's bar.
  auto own = New<LetterBar>({form.dlg});
  own->create();
  auto file = New<XbpMenu>({own});
  file->title = "~Datei";
  file->addItem({"~Neu", NIL});
  own->addItem({file, NIL, NIL, kMenuKeyLetter});
  auto help = New<XbpMenu>({own});
  help->title = "~Hilfe";
  help->addItem({"~Info", NIL});
  own->addItem({help, NIL});
  ASSERT_EQ(GetMenu(H(form.dlg)), own->nativeMenu());
  form.bar = own;
  // X is no letter of "Hilfe": nothing shows it, but Alt+X opens it.
  EXPECT_EQ(form.shown(2), L"Hilfe");
  EXPECT_EQ(OpenedBy([&] { AltLetter(H(form.print), L'x'); }), help->nativeMenu());
  // The bar made active without a letter (F10), X typed in it.
  EXPECT_EQ(OpenedBy([&] { PostMessageW(H(form.dlg), WM_SYSCOMMAND, SC_KEYMENU, 0); }, H(form.dlg), L'x'),
            help->nativeMenu());
  // The system's own matching finds the underlined D there.
  EXPECT_EQ(OpenedBy([&] { PostMessageW(H(form.dlg), WM_SYSCOMMAND, SC_KEYMENU, 0); }, H(form.dlg), L'd'),
            file->nativeMenu());
}

namespace {

int keyMenus = 0;

LRESULT CALLBACK CountKeyMenu(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_SYSCOMMAND && (w & 0xfff0) == SC_KEYMENU) {
    ++keyMenus;
    return 0;
  }
  return DefWindowProcW(h, m, w, l);
}

}  // namespace

// Only Alt or F10 pressed and released with nothing between activates the
// bar; Alt with another key (Alt+Down opening a list) or a click never does.
TEST(MenuKeys, OnlyAltOrF10AloneActivatesTheBar) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = CountKeyMenu;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KeyMenuCounter";
  RegisterClassW(&wc);
  HWND w = CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                         wc.hInstance, nullptr);
  ASSERT_NE(w, nullptr);
  struct Key {
    UINT message;
    WPARAM key;
  };
  const Key altDown{WM_SYSKEYDOWN, VK_MENU}, altUp{WM_KEYUP, VK_MENU}, f10Down{WM_SYSKEYDOWN, VK_F10},
      f10Up{WM_SYSKEYUP, VK_F10}, downDown{WM_SYSKEYDOWN, VK_DOWN}, downUp{WM_SYSKEYUP, VK_DOWN},
      click{WM_LBUTTONDOWN, 0};
  const struct {
    std::vector<Key> keys;
    int activations;
  } cases[] = {{{altDown, altUp}, 1},
               {{f10Down, f10Up}, 1},
               {{altDown, downDown, downUp, altUp}, 0},
               {{altDown, click, altUp}, 0},
               {{f10Down, downDown, f10Up}, 0},
               {{altDown, altUp, altDown, altUp}, 2}};
  for (const auto& c : cases) {
    keyMenus = 0;
    bool lastTaken = false;
    for (const Key& k : c.keys) lastTaken = rt::HandleMenuKeys(MSG{w, k.message, k.key, 0, 0, {}});
    EXPECT_EQ(keyMenus, c.activations) << c.keys.size() << " keys";
    EXPECT_TRUE(lastTaken) << "the key-up of Alt or F10 is never left to the default processing";
  }
  DestroyWindow(w);
}
