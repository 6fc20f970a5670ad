// Tab pages: sets of pages that share one native tab control (common controls).
#include "native.h"
#include "../win32/dyncalls.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "../events.h"
#include "tabpage.h"

namespace rt {

namespace {

constexpr const wchar_t* kPageClass = L"XbpTabPage";

bool ControlDown() { return GetKeyState(VK_CONTROL) & 0x8000; }
bool ShiftDown() { return GetKeyState(VK_SHIFT) & 0x8000; }

}  // namespace

// The tab control of a set.
class TabStrip : public XbpWindow {
  RT_CLASS("XbpTabStrip", TabStrip, XbpWindow)

 public:
  TabStrip() {
    tabStop = true;
    clipSiblings = true;  // the pages above it paint themselves
  }
  std::weak_ptr<TabPageSet> set;
  bool dying = false;

  bool onNotify(const NMHDR& header, intptr_t& result) override;
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  // The pages show what its new size leaves below the tabs.
  void onDpiChanged() override;
  // The pages behind the front one are hidden, their tabs are not: the tabs
  // answer for every page's "~" letter.
  XbpWindow* mnemonicTarget(char letter) override;

 protected:
  NativeSpec nativeSpec() const override {
    NativeSpec spec;
    spec.windowClass = WC_TABCONTROLW;
    spec.subclass = true;
    return spec;
  }
};

// The pages of one parent with the same position and size, and their tab
// control. Pages hold their set while their native window exists; the tab
// control goes when the last page does.
class TabPageSet {
 public:
  // The set `page` belongs to; a new one, with its tab control, if none.
  static std::shared_ptr<TabPageSet> For(XbpBaseTabPage& page);

  bool alive() const { return strip_ && strip_->isCreated() && !strip_->dying; }
  HWND strip() const { return Hwnd(strip_->nativeHandle()); }
  void join(XbpBaseTabPage& page);
  void leave(XbpBaseTabPage& page);
  void toFront(XbpBaseTabPage& page);
  void minimize(XbpBaseTabPage& page);
  void retitle(XbpBaseTabPage& page);
  // The user chose the tab at `index` (0-based): its page comes to front and
  // hears of it if it was not in front.
  void choose(int index);
  void choose(const XbpBaseTabPage& page) { choose(indexOf(page)); }
  // The first page whose caption marks `letter`.
  XbpBaseTabPage* pageFor(char letter) const;
  // Ctrl+Tab and its kin: the next or previous tab, round the end.
  void chooseNext(bool backwards);
  void focusTabs() const {
    if (alive()) SetFocus(strip());
  }
  // The first control of the page in front that takes the focus, else the tabs.
  void focusFrontPage() const;
  // Each page shows only what lies below the tabs, the tab control only
  // its tabs and border around them.
  void fitRegions();
  // The control changes its selection itself on an arrow key without
  // clearing the previous tab's pressed state, and then takes clicks for
  // a multiple selection that never comes: one tab stays pressed, the chosen.
  void clearStalePress(int chosen) const;

 private:
  struct Entry {
    XbpBaseTabPage* page;  // removed when its native window goes
  };
  int indexOf(const XbpBaseTabPage& page) const;
  bool matches(const XbpBaseTabPage& page) const;
  void stackAbove();
  // Hides a page, taking the focus out of it.
  void conceal(XbpBaseTabPage& page);

  std::shared_ptr<TabStrip> strip_;
  const XbpWindow* parent_ = nullptr;
  Value pos_, size_;
  std::vector<Entry> entries_;
  XbpBaseTabPage* front_ = nullptr;
};

namespace {

std::vector<std::weak_ptr<TabPageSet>>& Sets() {
  static std::vector<std::weak_ptr<TabPageSet>> sets;
  return sets;
}

bool SameNumbers(const Value& a, const Value& b) {
  return a.at(1).number() == b.at(1).number() && a.at(2).number() == b.at(2).number();
}

}  // namespace

bool TabPageSet::matches(const XbpBaseTabPage& page) const {
  return alive() && parent_ == page.parent_.get() && SameNumbers(pos_, page.pos_) && SameNumbers(size_, page.size_);
}

std::shared_ptr<TabPageSet> TabPageSet::For(XbpBaseTabPage& page) {
  auto& sets = Sets();
  std::erase_if(sets, [](const std::weak_ptr<TabPageSet>& s) { return s.expired(); });
  for (const auto& weak : sets) {
    if (auto set = weak.lock(); set && set->matches(page)) return set;
  }
  auto set = std::make_shared<TabPageSet>();
  set->parent_ = page.parent_.get();
  set->pos_ = Value{page.pos_.at(1), page.pos_.at(2)};
  set->size_ = Value{page.size_.at(1), page.size_.at(2)};
  set->strip_ = std::make_shared<TabStrip>();
  set->strip_->set = set;
  // The tabs speak in the page's font.
  Value params;
  if (!page.font_.empty()) params = Value{Value{kPPCompoundName, page.font_}};
  set->strip_->init({Value(page.parent_), Value(page.owner_), set->pos_, set->size_, params, true});
  set->strip_->create();
  if (!set->alive()) return nullptr;
  sets.push_back(set);
  return set;
}

int TabPageSet::indexOf(const XbpBaseTabPage& page) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].page == &page) return static_cast<int>(i);
  }
  return -1;
}

void TabPageSet::join(XbpBaseTabPage& page) {
  const int index = static_cast<int>(entries_.size());
  std::wstring text = NativeCaption(page.caption);
  TCITEMW tab{};
  tab.mask = TCIF_TEXT;
  tab.pszText = text.data();
  SendMessageW(strip(), TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&tab));
  entries_.push_back({&page});
  stackAbove();
  fitRegions();

  if (!page.minimized || !front_) {
    toFront(page);
  } else {
    conceal(page);
  }
}

void TabPageSet::stackAbove() {
  // The tab control goes right above the highest page of the set: first in
  // the Tab order, as in property sheets, and its region leaves the pages
  // their area.
  HWND highest = nullptr;
  for (HWND w = GetWindow(strip(), GW_HWNDFIRST); w && !highest; w = GetWindow(w, GW_HWNDNEXT)) {
    for (const Entry& e : entries_) {
      if (Hwnd(e.page->nativeHandle()) == w) highest = w;
    }
  }
  if (!highest) return;
  HWND over = GetWindow(highest, GW_HWNDPREV);
  if (over == strip()) return;
  SetWindowPos(strip(), over ? over : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TabPageSet::leave(XbpBaseTabPage& page) {
  const int index = indexOf(page);
  if (index < 0) return;
  entries_.erase(entries_.begin() + index);
  const bool wasFront = front_ == &page;
  if (wasFront) front_ = nullptr;
  if (!alive()) return;  // the tab control is going too, with the parent
  SendMessageW(strip(), TCM_DELETEITEM, index, 0);
  if (entries_.empty()) {
    strip_->destroy();
    return;
  }
  fitRegions();
  if (wasFront) {
    // The neighbour takes the place of the page that went, as a tab control
    // always shows a page while it has tabs.
    XbpBaseTabPage* next = entries_[std::min<size_t>(index, entries_.size() - 1)].page;
    if (!next->dying_) toFront(*next);
  }
}

void TabPageSet::fitRegions() {
  RECT whole{};
  GetClientRect(strip(), &whole);
  RECT display = whole;
  SendMessageW(strip(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  // The system owns a region once it is set.
  const auto give = [](HWND hwnd, HRGN region) {
    if (!SetWindowRgn(hwnd, region, TRUE)) DeleteObject(region);
  };
  for (const Entry& e : entries_) give(Hwnd(e.page->nativeHandle()), CreateRectRgnIndirect(&display));
  HRGN frame = CreateRectRgnIndirect(&whole);
  HRGN inner = CreateRectRgnIndirect(&display);
  CombineRgn(frame, frame, inner, RGN_DIFF);
  DeleteObject(inner);
  give(strip(), frame);
}

void TabPageSet::toFront(XbpBaseTabPage& page) {
  const int index = indexOf(page);
  if (index < 0) return;
  HWND shown = Hwnd(page.nativeHandle());
  // Directly above the page in front, so that hiding that page uncovers
  // nothing of this one: its controls paint once, not again.
  HWND above = front_ && front_ != &page ? GetWindow(Hwnd(front_->nativeHandle()), GW_HWNDPREV) : shown;
  if (above == shown || !front_ || !IsWindowVisible(Hwnd(front_->nativeHandle()))) {
    ShowWindow(shown, SW_SHOWNA);
  } else {
    SetWindowPos(shown, above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  for (const Entry& e : entries_) {
    if (e.page != &page) conceal(*e.page);
  }
  page.minimized = false;
  front_ = &page;
  if (SendMessageW(strip(), TCM_GETCURSEL, 0, 0) != index) SendMessageW(strip(), TCM_SETCURSEL, index, 0);
}

void TabPageSet::conceal(XbpBaseTabPage& page) {
  HWND hidden = Hwnd(page.nativeHandle());
  HWND focus = GetFocus();
  // Keys must not go on to a control nobody sees.
  if (focus && (focus == hidden || IsChild(hidden, focus))) SetFocus(strip());
  ShowWindow(hidden, SW_HIDE);
  page.minimized = true;
}

void TabPageSet::minimize(XbpBaseTabPage& page) {
  conceal(page);
  if (front_ == &page) {
    front_ = nullptr;
    SendMessageW(strip(), TCM_SETCURSEL, static_cast<WPARAM>(-1), 0);
  }
}

void TabPageSet::retitle(XbpBaseTabPage& page) {
  const int index = indexOf(page);
  if (index < 0 || !alive()) return;
  std::wstring text = NativeCaption(page.caption);
  TCITEMW tab{};
  tab.mask = TCIF_TEXT;
  tab.pszText = text.data();
  SendMessageW(strip(), TCM_SETITEMW, index, reinterpret_cast<LPARAM>(&tab));
  fitRegions();  // a longer caption may need another row of tabs
}

void TabPageSet::choose(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  XbpBaseTabPage& page = *entries_[index].page;
  const bool wasFront = front_ == &page;
  toFront(page);
  if (!wasFront) page.post(kEvTabActivate);
}

XbpBaseTabPage* TabPageSet::pageFor(char letter) const {
  for (const Entry& e : entries_) {
    if (!e.page->dying_ && e.page->mnemonic() == letter) return e.page;
  }
  return nullptr;
}

void TabPageSet::clearStalePress(int chosen) const {
  const int n = static_cast<int>(SendMessageW(strip(), TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    if (i == chosen) continue;
    TCITEMW tab{};
    tab.mask = TCIF_STATE;
    tab.dwStateMask = TCIS_BUTTONPRESSED;
    if (!SendMessageW(strip(), TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&tab)) || !(tab.dwState & TCIS_BUTTONPRESSED))
      continue;
    tab.dwState = 0;
    SendMessageW(strip(), TCM_SETITEMW, i, reinterpret_cast<LPARAM>(&tab));
  }
}

namespace {

BOOL CALLBACK FirstTabStop(HWND hwnd, LPARAM param) {
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  if (!(style & WS_TABSTOP) || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(param) = hwnd;
  return FALSE;
}

}  // namespace

void TabPageSet::focusFrontPage() const {
  if (!alive()) return;
  HWND first = nullptr;
  if (front_) EnumChildWindows(Hwnd(front_->nativeHandle()), FirstTabStop, reinterpret_cast<LPARAM>(&first));
  SetFocus(first ? first : strip());
}

void TabPageSet::chooseNext(bool backwards) {
  const int n = static_cast<int>(entries_.size());
  if (n == 0) return;
  const int current = front_ ? indexOf(*front_) : -1;
  const int next = current < 0 ? (backwards ? n - 1 : 0) : (current + (backwards ? n - 1 : 1)) % n;
  choose(next);
}

// --- the tab control ----------------------------------------------------------

bool TabStrip::onNotify(const NMHDR& header, intptr_t& result) {
  result = 0;
  if (header.code != static_cast<UINT>(TCN_SELCHANGE) || dying) return XbpWindow::onNotify(header, result);
  // The control changes its selection only for the user; the program's
  // TCM_SETCURSEL notifies nothing.
  const int chosen = static_cast<int>(SendMessageW(Hwnd(handle_), TCM_GETCURSEL, 0, 0));
  if (const auto pages = set.lock()) {
    pages->clearStalePress(chosen);
    pages->choose(chosen);
  }
  return true;
}

void TabStrip::onDpiChanged() {
  XbpWindow::onDpiChanged();
  if (const auto pages = set.lock(); pages && pages->alive()) pages->fitRegions();
}

XbpWindow* TabStrip::mnemonicTarget(char letter) {
  const auto pages = set.lock();
  return letter && pages && !dying ? pages->pageFor(letter) : nullptr;
}

bool TabStrip::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  switch (msg) {
    case WM_DESTROY: dying = true; break;
    case WM_KEYDOWN:
      if (ControlDown() && (wparam == VK_TAB || wparam == VK_NEXT || wparam == VK_PRIOR)) {
        if (const auto pages = set.lock()) pages->chooseNext(wparam == VK_PRIOR || (wparam == VK_TAB && ShiftDown()));
        result = 0;
        return true;
      }
      break;
    case WM_CHAR:
      // The tab character of Ctrl+Tab would move the focus on.
      if (wparam == L'\t' && ControlDown()) {
        result = 0;
        return true;
      }
      break;
    default: break;
  }
  return XbpWindow::onMessage(msg, wparam, lparam, result);
}

// --- Ctrl+Tab on a page ----------------------------------------------------------

bool TabPageKeys(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !ControlDown() || (GetKeyState(VK_MENU) & 0x8000)) return false;
  if (msg.wParam != VK_TAB && msg.wParam != VK_NEXT && msg.wParam != VK_PRIOR) return false;
  // The innermost page around the control; the tabs answer on their own.
  XbpBaseTabPage* page = nullptr;
  for (HWND w = GetParent(msg.hwnd); w && !page; w = GetParent(w)) page = dynamic_cast<XbpBaseTabPage*>(WindowFromHandle(w));
  if (!page || !page->set_ || !page->set_->alive() || page->dying_) return false;
  // As in property sheets, a control that wants every key keeps these too
  // (Ctrl+Tab types a tab into a multi-line field).
  MSG asked = msg;
  if (SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&asked)) & DLGC_WANTMESSAGE) return false;
  const std::shared_ptr<TabPageSet> keep = page->set_;
  keep->chooseNext(msg.wParam == VK_PRIOR || (msg.wParam == VK_TAB && ShiftDown()));
  keep->focusFrontPage();
  return true;
}

// --- pages ----------------------------------------------------------------------

XbpBaseTabPage::XbpBaseTabPage() { clipChildren = true; }

void XbpBaseTabPage::create(const Args& args) {
  if (!args.empty()) init(args);
  if (handle_ || !parent_ || !parent_->isCreated()) return;
  dyn::UseCommonControls(ICC_TAB_CLASSES);
  HandlePageKeys = TabPageKeys;
  std::shared_ptr<TabPageSet> set = TabPageSet::For(*this);
  if (!set) return;
  set_ = std::move(set);
  XbpWindow::create();
  if (!handle_) set_.reset();
}

XbpWindow::NativeSpec XbpBaseTabPage::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = kPageClass;
  spec.style = WS_CLIPSIBLINGS;
  return spec;
}

void XbpBaseTabPage::afterCreate() { set_->join(*this); }

const EventRoutes& XbpBaseTabPage::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Posted, 0, kEvTabActivate, CallbackOf(&XbpBaseTabPage::tabActivate)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

bool XbpBaseTabPage::place(bool front) {
  if (!handle_) {
    minimized = !front;  // taken up when the page is created
    return true;
  }
  if (!set_ || !set_->alive()) return false;
  if (front) {
    set_->toFront(*this);
  } else {
    set_->minimize(*this);
  }
  return true;
}

bool XbpBaseTabPage::setCaption(const std::string& text) {
  caption = text;
  if (set_) set_->retitle(*this);
  return true;
}

void XbpBaseTabPage::onMnemonic() {
  if (!set_ || !set_->alive() || dying_) return;
  const std::shared_ptr<TabPageSet> keep = set_;
  keep->focusTabs();
  keep->choose(*this);
}

bool XbpBaseTabPage::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  switch (msg) {
    case WM_DESTROY: dying_ = true; return false;
    case WM_ERASEBKGND:
      result = 1;  // painted whole in WM_PAINT, without flicker
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Hwnd(handle_), &ps);
      FillRect(dc, &ps.rcPaint, backgroundBrush());
      replayDrawing(dc);
      EndPaint(Hwnd(handle_), &ps);
      result = 0;
      return true;
    }
    default: return XbpWindow::onMessage(msg, wparam, lparam, result);
  }
}

void XbpBaseTabPage::onNativeDestroyed() {
  XbpWindow::onNativeDestroyed();
  if (const std::shared_ptr<TabPageSet> set = std::move(set_)) set->leave(*this);
  dying_ = false;
}

}  // namespace rt
