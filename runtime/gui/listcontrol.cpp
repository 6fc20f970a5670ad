// What list boxes and combination boxes share, on their native lists.
#include "listcontrol.h"

#include "native.h"

namespace rt {

namespace {

// Indexed by ListControl::Op; the combination box names them after its list.
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

ListControl::ListControl(ListKind kind) : kind_(kind) { tabStop = true; }

intptr_t ListControl::send(Op op, uintptr_t wparam, intptr_t lparam) const {
  const UINT* messages = kind_ == ListKind::ListBox ? kListBoxMessages : kComboBoxMessages;
  return SendMessageW(Hwnd(handle_), messages[static_cast<int>(op)], wparam, lparam);
}

std::string ListControl::nativeText(long index) const {
  const intptr_t length = send(Op::TextLength, index);
  if (length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const intptr_t copied = send(Op::Text, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return Narrow(text);
}

bool ListControl::marksSeveral() const {
  if (!attached_) return !marksOne();
  return kind_ == ListKind::ListBox && (GetWindowLongPtrW(Hwnd(handle_), GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL));
}

long ListControl::numItems() const {
  if (!attached_) return static_cast<long>(kept_.size());
  const intptr_t count = send(Op::Count);
  return count > 0 ? static_cast<long>(count) : 0;
}

long ListControl::addItem(const std::string& text) {
  if (!attached_) {
    kept_.push_back({text});
    return numItems();
  }
  const intptr_t index = send(Op::Add, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  return index >= 0 ? static_cast<long>(index) + 1 : 0;
}

bool ListControl::insItem(long pos, const std::string& text) {
  if (pos < 1 || pos > numItems() + 1) return false;
  if (!attached_) {
    kept_.insert(kept_.begin() + (pos - 1), {text});
    return true;
  }
  return send(Op::Insert, pos - 1, reinterpret_cast<LPARAM>(Wide(text).c_str())) >= 0;
}

bool ListControl::delItem(long pos) {
  if (!validPos(pos)) return false;
  if (!attached_) {
    kept_.erase(kept_.begin() + (pos - 1));
    return true;
  }
  return send(Op::Delete, pos - 1) >= 0;
}

bool ListControl::clear() {
  if (!attached_) {
    kept_.clear();
    return true;
  }
  const EntryKept entry(kind_ == ListKind::ComboBox ? Hwnd(handle_) : nullptr);
  send(Op::Reset);
  return true;
}

Value ListControl::getItem(long pos) const {
  if (!validPos(pos)) return Value();
  return attached_ ? Value(nativeText(pos - 1)) : Value(kept_[pos - 1].text);
}

bool ListControl::setItem(long pos, const std::string& text) {
  if (!validPos(pos)) return false;
  if (!attached_) {
    kept_[pos - 1].text = text;
    return true;
  }
  // The native lists replace an item only by deleting and inserting it: put
  // back its mark and, in a list box, the scrolling and the caret.
  const long index = pos - 1;
  const bool marked = isMarked(pos);
  const bool listBox = kind_ == ListKind::ListBox;
  const intptr_t top = listBox ? SendMessageW(Hwnd(handle_), LB_GETTOPINDEX, 0, 0) : 0;
  const intptr_t caret = listBox ? SendMessageW(Hwnd(handle_), LB_GETCARETINDEX, 0, 0) : 0;
  SendMessageW(Hwnd(handle_), WM_SETREDRAW, FALSE, 0);
  bool inserted;
  {
    const EntryKept entry(listBox ? nullptr : Hwnd(handle_));
    send(Op::Delete, index);
    inserted = send(Op::Insert, index, reinterpret_cast<LPARAM>(Wide(text).c_str())) >= 0;
    if (inserted && marked) mark(pos, true);
  }
  if (listBox) {
    if (marksSeveral()) SendMessageW(Hwnd(handle_), LB_SETCARETINDEX, caret, FALSE);
    SendMessageW(Hwnd(handle_), LB_SETTOPINDEX, top, 0);
  }
  SendMessageW(Hwnd(handle_), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Hwnd(handle_), nullptr, TRUE);
  return inserted;
}

bool ListControl::isMarked(long pos) const {
  if (!validPos(pos)) return false;
  if (!attached_) return kept_[pos - 1].marked;
  if (kind_ == ListKind::ComboBox) return SendMessageW(Hwnd(handle_), CB_GETCURSEL, 0, 0) == pos - 1;
  return SendMessageW(Hwnd(handle_), LB_GETSEL, pos - 1, 0) > 0;
}

void ListControl::mark(long pos, bool on) {
  if (!attached_) {
    if (on && !marksSeveral()) unmarkAll();
    kept_[pos - 1].marked = on;
    return;
  }
  const WPARAM index = static_cast<WPARAM>(pos - 1);
  if (marksSeveral()) {
    SendMessageW(Hwnd(handle_), LB_SETSEL, on, static_cast<LPARAM>(index));
    return;
  }
  const UINT setCurrent = kind_ == ListKind::ListBox ? LB_SETCURSEL : CB_SETCURSEL;
  if (on) {
    SendMessageW(Hwnd(handle_), setCurrent, index, 0);
  } else if (isMarked(pos)) {
    SendMessageW(Hwnd(handle_), setCurrent, static_cast<WPARAM>(-1), 0);
  }
}

void ListControl::unmarkAll() {
  if (!attached_) {
    for (Kept& item : kept_) item.marked = false;
  } else if (marksSeveral()) {
    SendMessageW(Hwnd(handle_), LB_SETSEL, FALSE, -1);
  } else {
    SendMessageW(Hwnd(handle_), kind_ == ListKind::ListBox ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  }
}

std::vector<long> ListControl::markedPositions() const {
  std::vector<long> positions;
  if (!attached_) {
    for (size_t i = 0; i < kept_.size(); ++i) {
      if (kept_[i].marked) positions.push_back(static_cast<long>(i) + 1);
    }
  } else if (marksSeveral()) {
    const intptr_t count = SendMessageW(Hwnd(handle_), LB_GETSELCOUNT, 0, 0);
    if (count > 0) {
      std::vector<int> indexes(static_cast<size_t>(count));
      const intptr_t got = SendMessageW(Hwnd(handle_), LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(indexes.data()));
      for (intptr_t i = 0; i < got; ++i) positions.push_back(indexes[i] + 1);
    }
  } else {
    const intptr_t current = SendMessageW(Hwnd(handle_), kind_ == ListKind::ListBox ? LB_GETCURSEL : CB_GETCURSEL, 0, 0);
    if (current >= 0) positions.push_back(static_cast<long>(current) + 1);
  }
  return positions;
}

void ListControl::afterCreate() {
  attached_ = true;
  const std::vector<Kept> kept = std::move(kept_);
  kept_.clear();
  for (const Kept& item : kept) send(Op::Add, 0, reinterpret_cast<LPARAM>(Wide(item.text).c_str()));
  // A list box of several marks marks its first item as it gets it.
  unmarkAll();
  for (size_t i = 0; i < kept.size(); ++i) {
    if (kept[i].marked) mark(static_cast<long>(i) + 1, true);
  }
}

void ListControl::detachItems() {
  if (!attached_) return;
  std::vector<Kept> kept(static_cast<size_t>(numItems()));
  for (size_t i = 0; i < kept.size(); ++i) kept[i].text = nativeText(static_cast<long>(i));
  for (long pos : markedPositions()) kept[pos - 1].marked = true;
  kept_ = std::move(kept);
  attached_ = false;
}

bool ListControl::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  // The items are still there while the list is told it goes.
  if (msg == WM_DESTROY) detachItems();
  return XbpWindow::onMessage(msg, wparam, lparam, result);
}

}  // namespace rt
