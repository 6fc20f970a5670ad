// Combination boxes on the standard combo box control. Its entry (an edit
// control) and its list (a list box) are windows of their own that the
// runtime does not register: they are put under a procedure that hands
// what the user does in them to the box object.
#include <algorithm>
#include <cmath>

#include "../events.h"
#include "../transform.h"
#include "combobox.h"
#include "accessible.h"
#include "native.h"

namespace rt {

namespace {

// Rows a dropped list shows before it scrolls.
constexpr int kDropRows = 8;

const wchar_t* const kNextProc = L"Valumat.NextProc";
const wchar_t* const kBox = L"Valumat.Box";

}  // namespace

// The procedure of the entry and the list inside a box.
struct ComboboxInner {
  static void adopt(HWND inner, HWND box) {
    SetPropW(inner, kBox, box);
    SetPropW(inner, kNextProc, reinterpret_cast<HANDLE>(GetWindowLongPtrW(inner, GWLP_WNDPROC)));
    Subclass(inner, &Proc);
  }

  static LRESULT CALLBACK Proc(HWND inner, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
    const auto next = reinterpret_cast<WNDPROC>(GetPropW(inner, kNextProc));
    if (!next) return DefWindowProcW(inner, msg, wparam, lparam);
    try {
      if (msg == WM_NCDESTROY) {
        Unsubclass(inner, &Proc, next);
        RemovePropW(inner, kNextProc);
        RemovePropW(inner, kBox);
        return CallWindowProcW(next, inner, msg, wparam, lparam);
      }
      // Keep the object alive while its entry or list works for it.
      const auto box = std::dynamic_pointer_cast<XbpBaseCombobox>(
          WindowRefFromHandle(static_cast<HWND>(GetPropW(inner, kBox))));
      if (box) {
        LRESULT result = 0;
        // Screen readers hear the entry and the list under the box's name.
        if (msg == WM_GETOBJECT && AnswerGetObject(inner, wparam, lparam, result, Hwnd(box->handle_))) return result;
        if (inner == Hwnd(box->entry_) ? entryMessage(*box, next, inner, msg, wparam, lparam, result)
                                      : listMessage(*box, next, inner, msg, wparam, lparam, result))
          return result;
      }
      return CallWindowProcW(next, inner, msg, wparam, lparam);
    } catch (...) {
      CarryException(std::current_exception());
      return 0;
    }
  }

  // Keys typed into the entry: the entry takes those it keeps first, then the
  // box posts them, as a single-line field does.
  static bool entryMessage(XbpBaseCombobox& box, WNDPROC next, HWND entry, UINT msg, WPARAM wparam, LPARAM lparam,
                           LRESULT& result) {
    if (msg != WM_KEYDOWN && msg != WM_CHAR) return false;
    HWND hwnd = Hwnd(box.handle_);
    if (msg == WM_KEYDOWN && (wparam == VK_RETURN || wparam == VK_ESCAPE)) {
      // They close an open list, which the entry would not do; their
      // characters follow and reach the box as keys.
      if (SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0)) SendMessageW(hwnd, CB_SHOWDROPDOWN, FALSE, 0);
      result = 0;
      return true;
    }
    const long key = KeyOfMessage(msg, wparam);
    if (key == 0) return false;  // a key down that a character will follow
    if (box.keepsKey(key)) CallWindowProcW(next, entry, msg, wparam, lparam);
    box.post(kEvKeyboard, key);
    result = 0;
    return true;
  }

  // A click on an item of the open list chooses it; the list closes itself.
  static bool listMessage(XbpBaseCombobox& box, WNDPROC next, HWND list, UINT msg, WPARAM wparam, LPARAM lparam,
                          LRESULT& result) {
    if (msg == WM_WINDOWPOSCHANGING) {
      fitDroppedList(box, list, *reinterpret_cast<WINDOWPOS*>(lparam));
      return false;
    }
    if (msg != WM_LBUTTONUP) return false;
    // The list of a simple box is always shown: a double click chooses there.
    HWND hwnd = Hwnd(box.handle_);
    const bool dropped = (GetWindowLongPtrW(hwnd, GWL_STYLE) & 3) != CBS_SIMPLE && SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0);
    RECT client{};
    GetClientRect(list, &client);
    const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, lparam);
    const bool onItem = dropped && PtInRect(&client, at) && HIWORD(hit) == 0;
    result = CallWindowProcW(next, list, msg, wparam, lparam);
    if (onItem) box.post(kEvItemSelected);
    return true;
  }

  // A dropped list no taller than its items: the box keeps room for more
  // rows (and Wine's gives a few items a spare row).
  static void fitDroppedList(const XbpBaseCombobox& box, HWND list, WINDOWPOS& pos) {
    HWND hwnd = Hwnd(box.handle_);
    if ((pos.flags & SWP_NOSIZE) || (GetWindowLongPtrW(hwnd, GWL_STYLE) & 3) == CBS_SIMPLE) return;
    RECT outer{}, client{}, boxRect{};
    GetWindowRect(list, &outer);
    GetClientRect(list, &client);
    GetWindowRect(hwnd, &boxRect);
    const long rows = std::clamp(box.numItems(), 1L, static_cast<long>(kDropRows));
    const long frame = (outer.bottom - outer.top) - client.bottom;
    const long wanted = rows * static_cast<long>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)) + frame;
    if (wanted <= 0 || pos.cy <= wanted) return;
    // A list that opens upwards keeps its lower edge at the box.
    if (!(pos.flags & SWP_NOMOVE) && pos.y < boxRect.top) pos.y += pos.cy - wanted;
    pos.cy = static_cast<int>(wanted);
  }
};

XbpBaseCombobox::XbpBaseCombobox() : ListControl(ListKind::ComboBox) {}

XbpWindow::NativeSpec XbpBaseCombobox::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = L"COMBOBOX";
  // The list fills the height given to it, rather than leaving a strip unpainted.
  spec.style = WS_VSCROLL | CBS_AUTOHSCROLL | CBS_NOINTEGRALHEIGHT;
  spec.style |= type == kTypeSimple ? CBS_SIMPLE : type == kTypeDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN;
  spec.subclass = true;
  return spec;
}

bool XbpBaseCombobox::hasEntry() const {
  return handle_ ? (GetWindowLongPtrW(Hwnd(handle_), GWL_STYLE) & 3) != CBS_DROPDOWNLIST : type != kTypeDropDownList;
}

void XbpBaseCombobox::afterCreate() {
  HWND hwnd = Hwnd(handle_);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(hwnd, &info)) {
    if (hasEntry() && info.hwndItem && info.hwndItem != hwnd) {
      entry_ = info.hwndItem;
      ComboboxInner::adopt(info.hwndItem, hwnd);
    }
    if (info.hwndList) {
      innerList_ = info.hwndList;
      ComboboxInner::adopt(info.hwndList, hwnd);
    }
  }
  ListControl::afterCreate();
  showText(buffer_);
}

void XbpBaseCombobox::fitHeight() {
  HWND hwnd = Hwnd(handle_);
  if (fitting_ || (GetWindowLongPtrW(hwnd, GWL_STYLE) & 3) == CBS_SIMPLE || SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0))
    return;
  // Resizing itself, the box comes back here.
  fitting_ = true;
  // The box's height is its entry's, which follows the font unless set.
  // Measured, not computed: what the box answers for the entry's height
  // need not be what it takes (Wine's is 2 more).
  const long wanted = ToDevice(size_.at(2).number(), dpi());
  long entry = static_cast<long>(SendMessageW(hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  RECT r{};
  for (int tries = 0; tries < 3 && wanted > 0; ++tries) {
    GetWindowRect(hwnd, &r);
    const long off = wanted - (r.bottom - r.top);
    if (off == 0 || entry + off <= 0) break;
    entry += off;
    SendMessageW(hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), entry);
  }
  // A height beyond the entry's is the dropped list's; a resize of the box
  // to its entry's height may have taken it.
  RECT dropped{};
  SendMessageW(hwnd, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  const long list =
      kDropRows * static_cast<long>(SendMessageW(hwnd, CB_GETITEMHEIGHT, 0, 0)) + 2 * MetricForDpi(SM_CYBORDER, dpi());
  if (dropped.bottom - dropped.top < list) {
    GetWindowRect(hwnd, &r);
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + list, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  fitting_ = false;
}

const EventRoutes& XbpBaseCombobox::routes() const {
  // The box tells about the focus of entry and list together.
  static const EventRoute rows[] = {
      {EventRoute::From::Command, CBN_SELCHANGE, kEvItemMarked, CallbackOf(&XbpBaseCombobox::itemMarked)},
      {EventRoute::From::Command, CBN_DBLCLK, kEvItemSelected, CallbackOf(&XbpBaseCombobox::itemSelected)},
      {EventRoute::From::Command, CBN_SETFOCUS, kEvSetInputFocus, &XbpWindow::setInputFocus},
      {EventRoute::From::Command, CBN_KILLFOCUS, kEvKillInputFocus, &XbpWindow::killInputFocus},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

void XbpBaseCombobox::afterEvent(long event, const Value& mp1, const Value& mp2) {
  if (event == kEvKeyboard && mp1.integer() == kKeyEnter) post(kEvItemSelected);
  XbpWindow::afterEvent(event, mp1, mp2);
}

bool XbpBaseCombobox::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The box hands the focus on to its entry: CBN_SETFOCUS and
      // CBN_KILLFOCUS tell about the box as a whole.
      return false;
    case WM_KEYDOWN:
    case WM_CHAR:
      // With an entry, keys reach the box only from the entry, which posted them.
      if (entry_) return false;
      break;
    case WM_CTLCOLORLISTBOX:
      // A dropped list is a child of the desktop, not of the box: the parent
      // does not know whose it is.
      if (innerList_ && reinterpret_cast<HWND>(lparam) == Hwnd(innerList_)) {
        if (NativeBrush brush = onColor(reinterpret_cast<HDC>(wparam))) {
          result = reinterpret_cast<intptr_t>(brush);
          return true;
        }
      }
      break;
    case WM_SETFONT:
    case WM_WINDOWPOSCHANGED:
      // A new font, or a new size from the program: the entry takes the
      // height the size asks for again.
      result = callNative(msg, wparam, lparam);
      fitHeight();
      return true;
    case WM_DESTROY:
      // Entry and list still hold their texts while the box is told it goes.
      buffer_ = editBuffer();
      entry_ = innerList_ = nullptr;
      break;
    default: break;
  }
  return ListControl::onMessage(msg, wparam, lparam, result);
}

bool XbpBaseCombobox::setData(const Args& args) {
  const Value data = dataGiven(args);
  const std::string text = data.isText() ? data.text() : data.isNil() ? std::string() : Transform(data, "@N");
  if (!hasEntry() && !text.empty() && itemOf(text) == 0) return false;
  if (!handle_) {
    buffer_ = text;
    return true;
  }
  return showText(text);
}

bool XbpBaseCombobox::showText(const std::string& text) {
  // The list marks the item of the text, so that the arrow keys go on from there.
  const long pos = itemOf(text);
  if (pos > 0) {
    mark(pos, true);
  } else {
    unmarkAll();
  }
  if (hasEntry()) return SetWindowTextW(Hwnd(handle_), Wide(text).c_str());
  return pos > 0 || text.empty();
}

long XbpBaseCombobox::itemOf(const std::string& text) const {
  // Exactly this text: the native search ignores case.
  for (long pos = 1; pos <= numItems(); ++pos) {
    if (getItem(pos).text() == text) return pos;
  }
  return 0;
}

std::string XbpBaseCombobox::getData() {
  const std::string text = editBuffer();
  handToLink(text);
  return text;
}

std::string XbpBaseCombobox::editBuffer() const { return handle_ ? Narrow(WindowTextOf(Hwnd(handle_))) : buffer_; }

}  // namespace rt
