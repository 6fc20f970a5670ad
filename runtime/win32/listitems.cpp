// Items of list boxes and combination boxes on their native lists.
#include "../xbp/listitems.h"

#include "native.h"

namespace rt {

namespace {

// Indexed by ListItems::Op; the combination box names them after its list.
constexpr UINT kListBoxMessages[] = {LB_GETCOUNT,     LB_ADDSTRING,    LB_INSERTSTRING, LB_DELETESTRING,
                                     LB_RESETCONTENT, LB_GETTEXTLEN,   LB_GETTEXT};
constexpr UINT kComboBoxMessages[] = {CB_GETCOUNT,     CB_ADDSTRING,    CB_INSERTSTRING, CB_DELETESTRING,
                                      CB_RESETCONTENT, CB_GETLBTEXTLEN, CB_GETLBTEXT};

// The entry of a combination box is its data, not part of the list: it keeps
// its text while the list changes under it (the box would empty it, or put
// the marked item's text there).
class EntryKept {
 public:
  explicit EntryKept(HWND combo)
      : combo_(combo && (GetWindowLongPtrW(combo, GWL_STYLE) & 3) != CBS_DROPDOWNLIST ? combo : nullptr) {
    if (combo_) text_ = WindowTextOf(combo_);
  }
  ~EntryKept() {
    if (combo_) SetWindowTextW(combo_, text_.c_str());
  }
  EntryKept(const EntryKept&) = delete;
  EntryKept& operator=(const EntryKept&) = delete;

 private:
  HWND combo_;
  std::wstring text_;
};

}  // namespace

intptr_t ListItems::send(Op op, uintptr_t wparam, intptr_t lparam) const {
  const UINT* messages = kind_ == ListKind::ListBox ? kListBoxMessages : kComboBoxMessages;
  return SendMessageW(Hwnd(list_), messages[static_cast<int>(op)], wparam, lparam);
}

std::string ListItems::nativeText(long index) const {
  const intptr_t length = send(Op::TextLength, index);
  if (length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const intptr_t copied = send(Op::Text, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return Narrow(text);
}

bool ListItems::marksSeveral() const {
  if (!list_) return !marksOne();
  return kind_ == ListKind::ListBox && (GetWindowLongPtrW(Hwnd(list_), GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL));
}

long ListItems::numItems() const {
  if (!list_) return static_cast<long>(kept_.size());
  const intptr_t count = send(Op::Count);
  return count > 0 ? static_cast<long>(count) : 0;
}

long ListItems::addItem(const std::string& text) {
  if (!list_) {
    kept_.push_back({text});
    return numItems();
  }
  const intptr_t index = send(Op::Add, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  return index >= 0 ? static_cast<long>(index) + 1 : 0;
}

bool ListItems::insItem(long pos, const std::string& text) {
  if (pos < 1 || pos > numItems() + 1) return false;
  if (!list_) {
    kept_.insert(kept_.begin() + (pos - 1), {text});
    return true;
  }
  return send(Op::Insert, pos - 1, reinterpret_cast<LPARAM>(Wide(text).c_str())) >= 0;
}

bool ListItems::delItem(long pos) {
  if (!validPos(pos)) return false;
  if (!list_) {
    kept_.erase(kept_.begin() + (pos - 1));
    return true;
  }
  return send(Op::Delete, pos - 1) >= 0;
}

bool ListItems::clear() {
  if (!list_) {
    kept_.clear();
    return true;
  }
  const EntryKept entry(kind_ == ListKind::ComboBox ? Hwnd(list_) : nullptr);
  send(Op::Reset);
  return true;
}

Value ListItems::getItem(long pos) const {
  if (!validPos(pos)) return Value();
  return list_ ? Value(nativeText(pos - 1)) : Value(kept_[pos - 1].text);
}

bool ListItems::setItem(long pos, const std::string& text) {
  if (!validPos(pos)) return false;
  if (!list_) {
    kept_[pos - 1].text = text;
    return true;
  }
  // The native lists replace an item only by deleting and inserting it: put
  // back its mark and, in a list box, the scrolling and the caret.
  const long index = pos - 1;
  const bool marked = isMarked(pos);
  const bool listBox = kind_ == ListKind::ListBox;
  const intptr_t top = listBox ? SendMessageW(Hwnd(list_), LB_GETTOPINDEX, 0, 0) : 0;
  const intptr_t caret = listBox ? SendMessageW(Hwnd(list_), LB_GETCARETINDEX, 0, 0) : 0;
  SendMessageW(Hwnd(list_), WM_SETREDRAW, FALSE, 0);
  bool inserted;
  {
    const EntryKept entry(listBox ? nullptr : Hwnd(list_));
    send(Op::Delete, index);
    inserted = send(Op::Insert, index, reinterpret_cast<LPARAM>(Wide(text).c_str())) >= 0;
    if (inserted && marked) mark(pos, true);
  }
  if (listBox) {
    if (marksSeveral()) SendMessageW(Hwnd(list_), LB_SETCARETINDEX, caret, FALSE);
    SendMessageW(Hwnd(list_), LB_SETTOPINDEX, top, 0);
  }
  SendMessageW(Hwnd(list_), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Hwnd(list_), nullptr, TRUE);
  return inserted;
}

bool ListItems::isMarked(long pos) const {
  if (!validPos(pos)) return false;
  if (!list_) return kept_[pos - 1].marked;
  if (kind_ == ListKind::ComboBox) return SendMessageW(Hwnd(list_), CB_GETCURSEL, 0, 0) == pos - 1;
  return SendMessageW(Hwnd(list_), LB_GETSEL, pos - 1, 0) > 0;
}

void ListItems::mark(long pos, bool on) {
  if (!list_) {
    if (on && !marksSeveral()) unmarkAll();
    kept_[pos - 1].marked = on;
    return;
  }
  const WPARAM index = static_cast<WPARAM>(pos - 1);
  if (marksSeveral()) {
    SendMessageW(Hwnd(list_), LB_SETSEL, on, static_cast<LPARAM>(index));
    return;
  }
  const UINT setCurrent = kind_ == ListKind::ListBox ? LB_SETCURSEL : CB_SETCURSEL;
  if (on) {
    SendMessageW(Hwnd(list_), setCurrent, index, 0);
  } else if (isMarked(pos)) {
    SendMessageW(Hwnd(list_), setCurrent, static_cast<WPARAM>(-1), 0);
  }
}

void ListItems::unmarkAll() {
  if (!list_) {
    for (Kept& item : kept_) item.marked = false;
  } else if (marksSeveral()) {
    SendMessageW(Hwnd(list_), LB_SETSEL, FALSE, -1);
  } else {
    SendMessageW(Hwnd(list_), kind_ == ListKind::ListBox ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  }
}

std::vector<long> ListItems::markedPositions() const {
  std::vector<long> positions;
  if (!list_) {
    for (size_t i = 0; i < kept_.size(); ++i) {
      if (kept_[i].marked) positions.push_back(static_cast<long>(i) + 1);
    }
  } else if (marksSeveral()) {
    const intptr_t count = SendMessageW(Hwnd(list_), LB_GETSELCOUNT, 0, 0);
    if (count > 0) {
      std::vector<int> indexes(static_cast<size_t>(count));
      const intptr_t got = SendMessageW(Hwnd(list_), LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(indexes.data()));
      for (intptr_t i = 0; i < got; ++i) positions.push_back(indexes[i] + 1);
    }
  } else {
    const intptr_t current = SendMessageW(Hwnd(list_), kind_ == ListKind::ListBox ? LB_GETCURSEL : CB_GETCURSEL, 0, 0);
    if (current >= 0) positions.push_back(static_cast<long>(current) + 1);
  }
  return positions;
}

void ListItems::attachItems(NativeWindow list) {
  list_ = list;
  const std::vector<Kept> kept = std::move(kept_);
  kept_.clear();
  for (const Kept& item : kept) send(Op::Add, 0, reinterpret_cast<LPARAM>(Wide(item.text).c_str()));
  // A list box of several marks marks its first item as it gets it.
  unmarkAll();
  for (size_t i = 0; i < kept.size(); ++i) {
    if (kept[i].marked) mark(static_cast<long>(i) + 1, true);
  }
}

void ListItems::detachItems() {
  if (!list_) return;
  std::vector<Kept> kept(static_cast<size_t>(numItems()));
  for (size_t i = 0; i < kept.size(); ++i) kept[i].text = nativeText(static_cast<long>(i));
  for (long pos : markedPositions()) kept[pos - 1].marked = true;
  kept_ = std::move(kept);
  list_ = nullptr;
}

NativeBrush ListColors(NativeDC dc, const Value& fg, const Value& bg, NativeBrush bgBrush) {
  if (!fg.isNumber() && !bg.isNumber()) return nullptr;
  SetTextColor(dc, fg.isNumber() ? ColorOf(fg.integer()) : GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, bg.isNumber() ? ColorOf(bg.integer()) : GetSysColor(COLOR_WINDOW));
  return bg.isNumber() ? bgBrush : GetSysColorBrush(COLOR_WINDOW);
}

}  // namespace rt
