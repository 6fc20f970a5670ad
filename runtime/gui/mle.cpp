// Multi-line entry fields on the standard edit control.
#include <algorithm>
#include <limits>

#include "../events.h"
#include "../transform.h"
#include "mle.h"
#include "native.h"

namespace rt {

namespace {

// Lines as the edit control separates them: every bare LF or CR becomes CR LF,
// which the control would otherwise show as a glyph instead of a line break.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    out += "\r\n";
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

// The text cut to `limit` characters, never between the CR and LF of a break.
std::string CutTo(std::string text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t keep = limit;
  if (keep > 0 && text[keep - 1] == '\r' && text[keep] == '\n') --keep;
  text.resize(keep);
  return text;
}

// A position between the CR and LF of a line break moves before the break.
template <class Text>
size_t OutsideBreak(const Text& text, size_t at) {
  return at > 0 && at < text.size() && text[at - 1] == '\r' && text[at] == '\n' ? at - 1 : at;
}

struct Selection {
  size_t start = 0;
  size_t end = 0;
};

Selection SelectionOf(HWND hwnd) {
  DWORD start = 0, end = 0;
  SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

// Where the cursor stands: at the end of a marking the user made forwards,
// at its start when made backwards (the caret shows which, while the field
// has the focus; without it, the end).
size_t CursorOf(HWND hwnd, const Selection& marked) {
  if (marked.start == marked.end || GetFocus() != hwnd) return marked.end;
  POINT caret{};
  if (!GetCaretPos(&caret)) return marked.end;
  const LRESULT start = SendMessageW(hwnd, EM_POSFROMCHAR, marked.start, 0);
  return start != -1 && static_cast<short>(LOWORD(start)) == caret.x && static_cast<short>(HIWORD(start)) == caret.y
             ? marked.start
             : marked.end;
}

}  // namespace

XbpWindow::NativeSpec XbpBaseMLE::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = L"EDIT";
  // Without horizontal scrolling the control wraps lines at its width.
  spec.style = ES_LEFT | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
  if (!wordWrap) spec.style |= ES_AUTOHSCROLL | WS_HSCROLL;
  if (!editable) spec.style |= ES_READONLY;
  spec.exStyle = border ? WS_EX_CLIENTEDGE : 0;
  spec.text = Wide(buffer_);
  spec.subclass = true;
  return spec;
}

void XbpBaseMLE::afterCreate() {
  // 0 lifts the control's initial limit of about 30000 characters to its maximum.
  SendMessageW(Hwnd(handle_), EM_LIMITTEXT, static_cast<WPARAM>(std::max(bufferLength, 0L)), 0);
}

const EventRoutes& XbpBaseMLE::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Command, EN_CHANGE, kEvChange, CallbackOf(&XbpBaseMLE::change)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

bool XbpBaseMLE::keepsKey(long key) const { return key == kKeyEnter || XbpWindow::keepsKey(key); }

size_t XbpBaseMLE::room(size_t length, size_t replaced) const {
  if (bufferLength <= 0) return std::numeric_limits<size_t>::max();
  const size_t limit = static_cast<size_t>(bufferLength);
  const size_t kept = length - std::min(replaced, length);
  return kept >= limit ? 0 : limit - kept;
}

bool XbpBaseMLE::setData(const Args& args) {
  const Value given = dataGiven(args);
  buffer_ = CutTo(WithCrLf(given.isText() ? given.text() : Transform(given, "@N")), room(0, 0));
  if (handle_) {
    const std::wstring wide = Wide(buffer_);
    OwnChange change(ownChange_);
    SetWindowTextW(Hwnd(handle_), wide.c_str());
  }
  return true;
}

bool XbpBaseMLE::clear() { return setData(std::string()); }

bool XbpBaseMLE::Insert(const Value& pos, const std::string& text) {
  if (!pos.isNil() && !(pos.isNumber() && pos.number() >= 1)) return false;
  const std::string piece = WithCrLf(text);
  const bool atCursor = pos.isNil();
  // Far past the end is at the end; clamped before the conversion can overflow.
  // Before the field exists its cursor is at the end of the text.
  const size_t wanted = atCursor ? std::string::npos : static_cast<size_t>(std::min(pos.number(), 2e9)) - 1;
  if (!handle_) {
    if (piece.size() > room(buffer_.size(), 0)) return false;
    buffer_.insert(OutsideBreak(buffer_, std::min(wanted, buffer_.size())), piece);
    return true;
  }
  HWND hwnd = Hwnd(handle_);
  const size_t length = static_cast<size_t>(GetWindowTextLengthW(hwnd));
  const Selection marked = SelectionOf(hwnd);
  const size_t at = atCursor ? CursorOf(hwnd, marked) : OutsideBreak(WindowTextOf(hwnd), std::min(wanted, length));
  if (piece.size() > room(length, 0)) return false;
  const std::wstring wide = Wide(piece);
  OwnChange change(ownChange_);
  SendMessageW(hwnd, EM_SETSEL, at, at);
  SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
  const size_t n = wide.size();
  if (atCursor && marked.start == marked.end) {
    // At a bare cursor the cursor goes on after the text, as after pasting.
    SendMessageW(hwnd, EM_SETSEL, at + n, at + n);
  } else {
    // The marking stays on the characters it covered; a bare cursor stays
    // before the character it stood before.
    const size_t start = marked.start >= at ? marked.start + n : marked.start;
    const size_t end = std::max(marked.end > at ? marked.end + n : marked.end, start);
    SendMessageW(hwnd, EM_SETSEL, start, end);
  }
  SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
  return true;
}

}  // namespace rt
