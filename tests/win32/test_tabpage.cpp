// Tab pages on the real tab control: one row of tabs for the pages of a set,
// one page in front, choosing a tab with mouse, keys and mnemonics (which
// runs tabActivate) or from the program (which does not), colours, fonts,
// and what destroying pages gives back.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "controls.h"
#include "events.h"
#include "support/every_kind.h"
#include "support/heard.h"
#include "tabpage.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;
using valumat::XbpDialog;
using valumat::XbpSLE;
using valumat::XbpTabPage;

namespace {

using Log = Lines;

struct TabForm : Form {
  std::shared_ptr<XbpTabPage> general, details, sizes;
  std::shared_ptr<XbpSLE> name;  // on the details page
  Heard log;                     // captions of the pages whose tabActivate ran

  explicit TabForm(const Value& generalParams = NIL) : Form(Value{420, 330}) {
    general = page("~Allgemein", generalParams);
    details = page("~Details");
    sizes = page("Gr\x94\xe1" "e \xd5");
    name = New<XbpSLE>({details, NIL, Value{20, 20}, Value{120, 24}});
    name->create();
    show();
  }
  std::shared_ptr<XbpTabPage> page(const std::string& caption, const Value& params = NIL) {
    auto p = New<XbpTabPage>({dlg->drawingArea(), NIL, Value{10, 10}, Value{380, 260}, params});
    p->caption = caption;
    p->tabActivate = log.block({}, [p = p.get()](const Args&) { return p->caption; }, p.get(), {1});
    p->create();
    return p;
  }
  HWND strip() const { return FindWindowExW(H(dlg->drawingArea()), nullptr, WC_TABCONTROLW, nullptr); }
  // The pages that show, by caption.
  Log shown() const {
    Log out;
    for (const auto& p : {general, details, sizes}) {
      if (p->isVisible()) out.push_back(p->caption);
    }
    return out;
  }
  // Centre of a tab, in the tab control's client coordinates.
  LPARAM tab(int index) const {
    RECT r{};
    SendMessageW(strip(), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void click(int index) const {
    PostMessageW(strip(), WM_LBUTTONDOWN, MK_LBUTTON, tab(index));
    PostMessageW(strip(), WM_LBUTTONUP, 0, tab(index));
  }
  Log heard() { return log.take(); }
};

std::wstring TabText(HWND strip, int index) {
  wchar_t text[64] = L"";
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(strip, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
  return text;
}

long Selected(HWND strip) { return static_cast<long>(SendMessageW(strip, TCM_GETCURSEL, 0, 0)); }

// Keys pressed with Ctrl (and Shift) held: the control asks the key state.
void WithKeysHeld(std::initializer_list<BYTE> held, const std::function<void()>& act) {
  BYTE state[256];
  GetKeyboardState(state);
  BYTE pressed[256];
  std::copy(std::begin(state), std::end(state), pressed);
  for (BYTE vk : held) pressed[vk] = 0x80;
  SetKeyboardState(pressed);
  act();
  SetKeyboardState(state);
}

// Whether `upper` lies above `lower` among their siblings.
bool Above(HWND upper, HWND lower) {
  for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == lower) return true;
  }
  return false;
}

}  // namespace

TEST(TabPage, PagesOfOneAreaShareOneRowOfTabsAndShowOnePage) {
  TabForm form;
  const HWND strip = form.strip();
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(FindWindowExW(H(form.dlg->drawingArea()), strip, WC_TABCONTROLW, nullptr), nullptr);
  ASSERT_EQ(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(TabText(strip, 0), L"&Allgemein");
  EXPECT_EQ(TabText(strip, 1), L"&Details");
  EXPECT_EQ(TabText(strip, 2), L"Gr\u00f6\u00dfe \u20ac");
  // The first page shows; none asked to be in front.
  EXPECT_EQ(form.shown(), Log{"~Allgemein"});
  EXPECT_FALSE(form.general->minimized);
  EXPECT_TRUE(form.details->minimized);
  EXPECT_EQ(Selected(strip), 0);

  // A page covers the area it was given and is the parent of its controls,
  // which are placed from its lower-left corner.
  EXPECT_EQ(Pair(form.details->currentPos()), P(10, 10));
  EXPECT_EQ(Pair(form.details->currentSize()), P(380, 260));
  EXPECT_EQ(GetParent(H(form.name)), H(form.details));
  RECT page{}, field{};
  GetWindowRect(H(form.details), &page);
  GetWindowRect(H(form.name), &field);
  EXPECT_EQ(page.bottom - field.bottom, 20);
  EXPECT_EQ(field.left - page.left, 20);

  // The tab control lies above the pages, first in the Tab order; its tabs
  // take clicks, the rest belongs to the page.
  for (const auto& p : {form.general, form.details, form.sizes}) EXPECT_TRUE(Above(strip, H(p)));
  POINT onTab{LOWORD(form.tab(1)), HIWORD(form.tab(1))};
  ClientToScreen(strip, &onTab);
  EXPECT_EQ(WindowFromPoint(onTab), strip);
  POINT inside{200, 150};
  ClientToScreen(H(form.general), &inside);
  EXPECT_EQ(WindowFromPoint(inside), H(form.general));

  // A page that asks to be in front gets there when it is created; a page
  // elsewhere starts a set of its own.
  auto extra = form.page("Extra");
  EXPECT_TRUE(extra->minimized);
  EXPECT_FALSE(extra->isVisible());
  auto front = New<XbpTabPage>({form.dlg->drawingArea(), NIL, Value{10, 10}, Value{380, 260}});
  front->caption = "Vorn";
  front->minimized = false;
  front->create();
  EXPECT_EQ(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0), 5);
  EXPECT_EQ(Selected(strip), 4);
  EXPECT_TRUE(front->isVisible());
  EXPECT_TRUE(Above(strip, H(front)));
  EXPECT_TRUE(Above(strip, H(form.general)));
  EXPECT_EQ(form.shown(), Log{});
  auto apart = New<XbpTabPage>({form.dlg->drawingArea(), NIL, Value{10, 10}, Value{200, 100}});
  apart->create();
  const HWND second = FindWindowExW(H(form.dlg->drawingArea()), strip, WC_TABCONTROLW, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(SendMessageW(second, TCM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_TRUE(apart->isVisible());
  EXPECT_TRUE(front->isVisible());
}

TEST(TabPage, AClickOnATabBringsItsPageToFrontAndTellsIt) {
  TabForm form;
  form.click(1);
  Drain();
  EXPECT_EQ(form.heard(), Log{"~Details"});
  EXPECT_EQ(form.shown(), Log{"~Details"});
  EXPECT_TRUE(form.general->minimized);
  EXPECT_FALSE(form.details->minimized);
  // The tab in front once more: nothing changes, nobody hears of it.
  form.click(1);
  Drain();
  EXPECT_EQ(form.heard(), Log{});

  // The program's choices run no callback.
  EXPECT_TRUE(form.sizes->toFront());
  EXPECT_EQ(form.shown(), Log{"Gr\x94\xe1" "e \xd5"});
  EXPECT_EQ(Selected(form.strip()), 2);
  EXPECT_TRUE(form.sizes->minimize());
  EXPECT_EQ(form.shown(), Log{});
  EXPECT_EQ(Selected(form.strip()), -1);
  Drain();
  EXPECT_EQ(form.heard(), Log{});
  // With no page in front, even the last one's tab brings it back.
  form.click(2);
  Drain();
  EXPECT_EQ(form.heard(), Log{"Gr\x94\xe1" "e \xd5"});
  EXPECT_EQ(form.shown(), Log{"Gr\x94\xe1" "e \xd5"});

  // A new caption shows on the tab.
  form.details->setCaption("~Einzelheiten & mehr");
  EXPECT_EQ(TabText(form.strip(), 1), L"&Einzelheiten && mehr");
}

TEST(TabPage, KeysOnTheTabsAndMnemonicsChooseAPage) {
  TabForm form;
  const HWND strip = form.strip();
  SetFocus(strip);
  Drain();
  PostMessageW(strip, WM_KEYDOWN, VK_RIGHT, 1);
  Drain();
  EXPECT_EQ(form.heard(), Log{"~Details"});
  EXPECT_EQ(form.shown(), Log{"~Details"});
  // Clicks take effect right after an arrow key.
  form.click(0);
  Drain();
  EXPECT_EQ(form.heard(), Log{"~Allgemein"});
  PostMessageW(strip, WM_KEYDOWN, VK_RIGHT, 1);
  Drain();
  form.click(2);
  Drain();
  EXPECT_EQ(form.heard(), (Log{"~Details", "Gr\x94\xe1" "e \xd5"}));
  form.click(1);
  Drain();
  EXPECT_EQ(form.heard(), Log{"~Details"});

  // Ctrl+Tab goes round the end, Ctrl+Shift+Tab and Ctrl+PgUp back.
  WithKeysHeld({VK_CONTROL}, [&] {
    PostMessageW(strip, WM_KEYDOWN, VK_TAB, 1);
    Drain();
    PostMessageW(strip, WM_KEYDOWN, VK_TAB, 1);
    Drain();
    PostMessageW(strip, WM_KEYDOWN, VK_PRIOR, 1);
    Drain();
  });
  WithKeysHeld({VK_CONTROL, VK_SHIFT}, [&] {
    PostMessageW(strip, WM_KEYDOWN, VK_TAB, 1);
    Drain();
  });
  EXPECT_EQ(form.heard(), (Log{"Gr\x94\xe1" "e \xd5", "~Allgemein", "Gr\x94\xe1" "e \xd5", "~Details"}));
  EXPECT_EQ(form.shown(), Log{"~Details"});
  // The tab character of Ctrl+Tab did not move the focus on.
  EXPECT_EQ(GetFocus(), strip);

  // Alt with a letter chooses its page, hidden as it is, wherever the focus is.
  SetFocus(H(form.name));
  Drain();
  PostMessageW(H(form.name), WM_SYSCHAR, L'a', 1 << 29);
  Drain();
  EXPECT_EQ(form.heard(), Log{"~Allgemein"});
  EXPECT_EQ(form.shown(), Log{"~Allgemein"});
  EXPECT_EQ(GetFocus(), strip);
  EXPECT_EQ(form.details->mnemonic(), 'D');
}

// As in property sheets: the keys work from the page's controls too, and the
// focus goes on to the new page's first control, or to the tabs.
TEST(TabPage, CtrlTabOnAControlOfThePageChangesThePage) {
  TabForm form;
  auto field = New<XbpSLE>({form.general, NIL, Value{20, 20}, Value{120, 24}});
  field->create();
  auto notes = New<valumat::XbpMLE>({form.sizes, NIL, Value{20, 20}, Value{200, 80}});
  notes->create();
  form.details->toFront();
  SetFocus(H(form.name));
  Drain();
  const struct {
    std::initializer_list<BYTE> held;
    WPARAM key;
    const char* page;
    HWND focus;
  } steps[] = {
      {{VK_CONTROL, VK_SHIFT}, VK_TAB, "~Allgemein", H(field)},
      {{VK_CONTROL}, VK_TAB, "~Details", H(form.name)},
      {{VK_CONTROL}, VK_NEXT, "Gr\x94\xe1" "e \xd5", H(notes)},
  };
  for (const auto& step : steps) {
    WithKeysHeld(step.held, [&] {
      PostMessageW(GetFocus(), WM_KEYDOWN, step.key, 1);
      Drain();
    });
    EXPECT_EQ(form.heard(), Log{step.page}) << step.page;
    EXPECT_EQ(form.shown(), Log{step.page});
    EXPECT_EQ(GetFocus(), step.focus) << step.page;
  }
  // A multi-line field wants every key: Ctrl+Tab stays with it.
  WithKeysHeld({VK_CONTROL}, [&] {
    PostMessageW(H(notes), WM_KEYDOWN, VK_TAB, 1);
    Drain();
  });
  EXPECT_EQ(form.heard(), Log{});
  EXPECT_EQ(GetFocus(), H(notes));
  // Shift+Tab from the first control of a page reaches the tabs.
  form.general->toFront();
  SetFocus(H(field));
  MoveToNextTabStop(H(field), true);
  EXPECT_EQ(GetFocus(), form.strip());
}

TEST(TabPage, TheFocusLeavesAPageThatGoesBehind) {
  TabForm form;
  form.details->toFront();
  SetFocus(H(form.name));
  Drain();
  form.general->toFront();
  EXPECT_EQ(GetFocus(), form.strip());
  form.details->toFront();
  SetFocus(H(form.name));
  form.details->minimize();
  EXPECT_EQ(GetFocus(), form.strip());
}

TEST(TabPage, ColoursAndFontComeFromPresentationParameters) {
  TabForm form(Value{Value{kPPBackground, 14}, Value{kPPCompoundName, "10.Arial Fett"}});
  // Inside the page, away from the tabs.
  EXPECT_EQ(PixelAt(H(form.general), 300, 200), ColorOf(14));
  // Without one of its own, a page has its dialog's colour.
  form.details->toFront();
  EXPECT_EQ(PixelAt(H(form.details), 300, 200), static_cast<COLORREF>(form.dlg->drawingArea()->resolvedBackground()));
  // The tabs speak in the first page's font; the page's controls inherit it.
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(form.strip(), WM_GETFONT, 0, 0)), FontOf("10.Arial Fett"));
  auto field = New<XbpSLE>({form.general, NIL, Value{20, 20}, Value{120, 24}});
  field->create();
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(H(field), WM_GETFONT, 0, 0)), FontOf("10.Arial Fett"));
}

TEST(TabPage, DestroyingPagesTakesTheirTabsAndTheLastTakesTheTabControl) {
  bool check = false;  // in the second round: the first loads fonts and the common controls
  EXPECT_EQ(HandlesLeftBy([&check] {
    TabForm form(Value{Value{kPPBackground, 14}});
    const HWND strip = form.strip();
    form.general->destroy();
    Drain();
    if (check) {
      EXPECT_TRUE(form.general->tabActivate.isNil());
      ASSERT_EQ(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0), 2);
      EXPECT_EQ(TabText(strip, 0), L"&Details");
      // Its neighbour took its place.
      EXPECT_EQ(form.shown(), Log{"~Details"});
      EXPECT_EQ(Selected(strip), 0);
    }
    form.sizes->destroy();
    if (check) {
      EXPECT_EQ(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0), 1);
      EXPECT_EQ(form.shown(), Log{"~Details"});
    }
    form.details->destroy();
    Drain();
    if (check) {
      EXPECT_FALSE(IsWindow(strip));
      EXPECT_EQ(form.strip(), nullptr);
    }
    // Pages on a dialog that goes away go with it.
    form.page("Neu");
    form.page("Noch eine");
    check = true;
  }), 0);
}

TEST(TabPage, PagesOfADialogCreatedAgainShareANewRowOfTabs) {
  TabForm form;
  form.details->toFront();
  form.dlg->destroy();
  Drain();
  EXPECT_FALSE(form.general->isCreated());
  form.dlg->create();
  for (const auto& p : {form.general, form.details, form.sizes}) p->create();
  form.name->create();
  form.dlg->show();
  Drain();
  const HWND strip = form.strip();
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(TabText(strip, 1), L"&Details");
  // The page in front before is in front again, with its field on it.
  EXPECT_EQ(form.shown(), Log{"~Details"});
  EXPECT_EQ(Selected(strip), 1);
  EXPECT_EQ(GetParent(H(form.name)), H(form.details));
  form.click(2);
  Drain();
  EXPECT_EQ(form.shown(), Log{"Gr\x94\xe1" "e \xd5"});
}

TEST(TabPage, TheFocusDoesNotComeBackToAPageThatWentBehindMeanwhile) {
  TabForm form;
  form.details->toFront();
  SetFocus(H(form.name));
  Drain();
  ShownForm other(Value{200, 100}, "", Value{600, 100});
  ASSERT_NE(GetActiveWindow(), H(form.dlg));
  form.general->toFront();
  SetActiveWindow(H(form.dlg));  // as a click on its frame does
  Drain();
  EXPECT_EQ(GetActiveWindow(), H(form.dlg));
  EXPECT_NE(GetFocus(), H(form.name));
}

template <>
struct ControlKind<valumat::XbpTabPage> : ControlKind<valumat::XbpStatic> {
  static std::shared_ptr<valumat::XbpTabPage> make(const rt::WindowRef& parent) {
    auto page = rt::New<valumat::XbpTabPage>({parent, rt::NIL, rt::Value{20, 20}, rt::Value{160, 90}, everykind::Colours()});
    page->caption = "~Seite";
    page->minimized = false;
    page->create();
    return page;
  }
};
INSTANTIATE_TYPED_TEST_SUITE_P(TabPage, EveryKind, valumat::XbpTabPage);
