// Text-mode windows: the window and its grid, painting and caret, mouse
// events, and the choice box in cells. The console side is crtconsole.cpp.
#include "crt.h"

#include <windowsx.h>

#include <algorithm>
#include <atomic>

#include "../events.h"
#include "../win32/dyncalls.h"
#include "native.h"

namespace rt {

namespace {

constexpr const wchar_t* kCrtClass = L"XbpCrt";
constexpr const char* kCellFont = "10.Courier New";
constexpr long kDefaultRows = 25;
constexpr long kDefaultCols = 80;
constexpr long kMaxCells = 1000;  // per side: a grid is a window, not a buffer
constexpr UINT kMsgFlush = WM_USER + 1;
constexpr UINT kMsgGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE, Windows 10 1703 on

// Console colours: light grey on black, unless presentation parameters say otherwise.
constexpr long kConsoleForeground = 15;
constexpr long kConsoleBackground = 7;

std::atomic<bool> g_mouseOn{true};

bool Post(NativeWindow hwnd, unsigned msg) { return PostMessageW(hwnd, msg, 0, 0) != FALSE; }
std::atomic<CrtPoster> g_poster{Post};

std::weak_ptr<XbpBaseCrt>& RootSlot() {
  static std::weak_ptr<XbpBaseCrt> root;
  return root;
}

DWORD Style() { return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; }

long GridSide(const Value& v, long fallback) {
  if (!v.isNumber()) return fallback;
  const long n = v.integer();
  return n >= 1 && n <= kMaxCells ? n : fallback;
}

}  // namespace

CrtPoster SetCrtPoster(CrtPoster poster) { return g_poster.exchange(poster ? poster : Post); }

// --- the window ----------------------------------------------------------------

XbpBaseCrt::XbpBaseCrt() : console_(std::make_shared<ConsoleChannel>()) {
  tabStop = true;
  fg_ = Value(kConsoleForeground);
  bg_ = Value(kConsoleBackground);
  OfferConsoles();
  clear();
  measureCells();
}

XbpBaseCrt::~XbpBaseCrt() { console_->detach(); }

void XbpBaseCrt::init(const Args& args) {
  XbpWindow::init({Arg(args, 1), Arg(args, 2), Arg(args, 3), Value(), Value(), Arg(args, 7)});
  const long rows = GridSide(Arg(args, 4), kDefaultRows);
  const long cols = GridSide(Arg(args, 5), kDefaultCols);
  if (Arg(args, 6).isText()) title = Arg(args, 6).text();
  // Given again with create: the cells stay unless the grid changes.
  if (rows != rows_ || cols != cols_) {
    rows_ = rows;
    cols_ = cols;
    clear();
  }
  MaxRow = rows_ - 1;
  MaxCol = cols_ - 1;
  measureCells();
}

HFONT XbpBaseCrt::cellFont() const { return FontOf(font_.empty() ? kCellFont : font_, dpi()); }

namespace {

// One cell of `font` in device pixels: a fixed font's "M" wide, its line high.
SIZE CellOf(HFONT font) {
  WindowDC screen(nullptr);
  SelectInScope selected(screen.get(), font);
  TEXTMETRICW tm{};
  GetTextMetricsW(screen.get(), &tm);
  SIZE m{};
  GetTextExtentPoint32W(screen.get(), L"M", 1, &m);
  return {std::max<LONG>(1, m.cx), std::max<LONG>(1, tm.tmHeight)};
}

// The frame around a grid of `cols` x `rows` cells at `dpi`.
SIZE FrameOf(long cols, long rows, SIZE cell, unsigned dpi) {
  RECT frame{0, 0, cols * cell.cx, rows * cell.cy};
  if (const auto adjust = dyn::Dpi().adjustForDpi) {
    adjust(&frame, Style(), FALSE, 0, dpi);
  } else {
    AdjustWindowRectEx(&frame, Style(), FALSE, 0);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

}  // namespace

void XbpBaseCrt::measureCells() {
  // The cells are the font's at the window's dpi; the program sees them, as
  // every size, in its own pixels.
  const SIZE cell = CellOf(cellFont());
  cellDpi_ = dpi();
  cellWidth_ = cell.cx;
  cellHeight_ = cell.cy;
  FontWidth = ToApp(cellWidth_, dpi());
  FontHeight = ToApp(cellHeight_, dpi());
  const SIZE frame = FrameOf(cols_, rows_, cell, dpi());
  size_ = Value{ToApp(frame.cx, dpi()), ToApp(frame.cy, dpi())};
}

XbpWindow::NativeSpec XbpBaseCrt::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = kCrtClass;
  spec.style = Style();
  spec.text = Wide(title);
  return spec;
}

void XbpBaseCrt::fitFrameToGrid(bool keepBottom) {
  HWND hwnd = Hwnd(handle_);
  // The frame's metrics may differ from what AdjustWindowRectEx assumed:
  // make the client area exactly the grid.
  RECT client{};
  GetClientRect(hwnd, &client);
  const long dw = cols_ * cellWidth_ - client.right, dh = rows_ * cellHeight_ - client.bottom;
  if (dw || dh) {
    RECT window{};
    GetWindowRect(hwnd, &window);
    SetWindowPos(hwnd, nullptr, window.left, window.top - (keepBottom ? dh : 0), window.right - window.left + dw,
                 window.bottom - window.top + dh, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void XbpBaseCrt::onDpiChanged() {
  // Another font size: other cells. The frame Windows suggested has the size
  // the window asked for (WM_GETDPISCALEDSIZE) and is kept; only one scaled
  // by the system alone (per-monitor v1 does not ask) is fitted to the grid.
  measureCells();
  fitFrameToGrid(false);
  placeCaret();
}

void XbpBaseCrt::afterCreate() {
  HWND hwnd = Hwnd(handle_);
  // Measured at the system's dpi before its monitor's was known.
  if (cellDpi_ != dpi()) measureCells();
  fitFrameToGrid(true);
  // Output from other threads reaches the cells through the window's queue.
  console_->attach(std::static_pointer_cast<XbpBaseCrt>(shared_from_this()),
                   [hwnd] { return g_poster.load()(hwnd, kMsgFlush); });
  console_->noteCursor(row_, col_);
  auto& root = RootSlot();
  const auto current = root.lock();
  if (!current || !current->isCreated()) root = std::static_pointer_cast<XbpBaseCrt>(shared_from_this());
}

void XbpBaseCrt::onNativeDestroyed() {
  XbpWindow::onNativeDestroyed();
  console_->detach();
  caretShown_ = false;
}

const EventRoutes& XbpBaseCrt::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Posted, 0, kEvClose, CallbackOf(&XbpBaseCrt::close)},
      {EventRoute::From::Posted, 0, kEvMouseLbDown, CallbackOf(&XbpBaseCrt::lbDown)},
      {EventRoute::From::Posted, 0, kEvMouseLbUp, CallbackOf(&XbpBaseCrt::lbUp)},
      {EventRoute::From::Posted, 0, kEvMouseMove, CallbackOf(&XbpBaseCrt::motion)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

bool XbpBaseCrt::setTitle(const std::string& newTitle) {
  title = newTitle;
  return !handle_ || SetWindowTextW(Hwnd(handle_), Wide(title).c_str());
}

void XbpBaseCrt::invalidateRows(long fromRow, long toRow) {
  if (!handle_) return;
  RECT r{0, std::min(fromRow, toRow) * cellHeight_, cols_ * cellWidth_, (std::max(fromRow, toRow) + 1) * cellHeight_};
  ::InvalidateRect(Hwnd(handle_), &r, FALSE);
}

bool XbpBaseCrt::InvalidateRect(const Value& rect) {
  if (!handle_) return false;
  if (!rect.isArray()) return ::InvalidateRect(Hwnd(handle_), nullptr, FALSE);
  RECT client{};
  GetClientRect(Hwnd(handle_), &client);
  const unsigned at = dpi();
  const long x1 = ToDevice(rect.at(1).integer(), at), y1 = ToDevice(rect.at(2).integer(), at);
  const long x2 = ToDevice(rect.at(3).integer(), at), y2 = ToDevice(rect.at(4).integer(), at);
  // Bottom-up pixel rows, both corners inside.
  RECT r{std::min(x1, x2), client.bottom - 1 - std::max(y1, y2), std::max(x1, x2) + 1, client.bottom - std::min(y1, y2)};
  return ::InvalidateRect(Hwnd(handle_), &r, FALSE);
}

void XbpBaseCrt::placeCaret() {
  console_->noteCursor(row_, col_);
  if (!caretShown_) return;
  const long height = std::max(2L, cellHeight_ / 6);
  SetCaretPos(col_ * cellWidth_, row_ * cellHeight_ + cellHeight_ - height);
}

void XbpBaseCrt::paint(NativeDC dc) {
  SelectInScope font(dc, cellFont());
  const COLORREF fg = resolvedForeground(), bg = resolvedBackground();
  const std::vector<INT> advance(static_cast<size_t>(cols_), cellWidth_);
  RECT clip{};
  GetClipBox(dc, &clip);
  const long firstRow = std::max(0L, clip.top / cellHeight_);
  const long lastRow = std::min(rows_ - 1, (clip.bottom - 1) / cellHeight_);
  for (long r = firstRow; r <= lastRow; ++r) {
    std::string bytes = rowText(r);
    // Control bytes have no picture in the table: they show blank.
    for (char& b : bytes) {
      if (static_cast<unsigned char>(b) < 0x20) b = ' ';
    }
    const std::wstring line = Wide(bytes);
    const unsigned char* flags = inverse_.data() + r * cols_;
    for (long c0 = 0; c0 < cols_;) {
      long c1 = c0 + 1;
      while (c1 < cols_ && flags[c1] == flags[c0]) ++c1;
      SetTextColor(dc, flags[c0] ? bg : fg);
      SetBkColor(dc, flags[c0] ? fg : bg);
      RECT cells{c0 * cellWidth_, r * cellHeight_, c1 * cellWidth_, (r + 1) * cellHeight_};
      ExtTextOutW(dc, cells.left, cells.top, ETO_OPAQUE | ETO_CLIPPED, &cells, line.data() + c0,
                  static_cast<UINT>(c1 - c0), advance.data());
      c0 = c1;
    }
  }
  // Should the frame leave more client area than the grid, it shows the background.
  RECT client{};
  GetClientRect(Hwnd(handle_), &client);
  RECT right{cols_ * cellWidth_, 0, client.right, client.bottom};
  RECT below{0, rows_ * cellHeight_, client.right, client.bottom};
  if (right.left < right.right) FillRect(dc, &right, backgroundBrush());
  if (below.top < below.bottom) FillRect(dc, &below, backgroundBrush());
  replayDrawing(dc);
}

// --- messages ----------------------------------------------------------------------

void XbpBaseCrt::postMouse(long event, intptr_t lparam) {
  if (!g_mouseOn.load() || choice_) return;
  const long x = GET_X_LPARAM(lparam), py = GET_Y_LPARAM(lparam);
  const long height = rows_ * cellHeight_;
  if (x < 0 || py < 0 || x >= cols_ * cellWidth_ || py >= height) return;
  const long y = height - 1 - py;
  // Scaled, a device pixel is part of a program's pixel: it reports its
  // middle, which divided by the cell size lies inside its cell, never on a
  // cell's edge by the rounding of the division.
  const unsigned at = dpi();
  const double ax = at == kBaseDpi ? x : ToApp(x + 0.5, at), ay = at == kBaseDpi ? y : ToApp(y + 0.5, at);
  post(event, Value{Value{ax, ay}, Value{ax, ay}});
}

bool XbpBaseCrt::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  HWND hwnd = Hwnd(handle_);
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      paint(dc);
      EndPaint(hwnd, &ps);
      result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(wparam));
      result = 0;
      return true;
    case WM_ERASEBKGND:
      result = 1;  // the cells cover the client area
      return true;
    case WM_GETFONT:
      result = reinterpret_cast<intptr_t>(cellFont());
      return true;
    case WM_CLOSE:
      // The close button is an event for the application, not an order.
      post(kEvClose);
      result = 0;
      return true;
    case WM_SETFOCUS:
      CreateCaret(hwnd, nullptr, cellWidth_, std::max(2L, cellHeight_ / 6));
      caretShown_ = true;
      placeCaret();
      ShowCaret(hwnd);
      return XbpWindow::onMessage(msg, wparam, lparam, result);
    case WM_KILLFOCUS:
      caretShown_ = false;
      DestroyCaret();
      return XbpWindow::onMessage(msg, wparam, lparam, result);
    case WM_LBUTTONDOWN: postMouse(kEvMouseLbDown, lparam); return false;
    case WM_LBUTTONUP: postMouse(kEvMouseLbUp, lparam); return false;
    case WM_MOUSEMOVE: postMouse(kEvMouseMove, lparam); return false;
    case kCrtMsgCellAt: {
      const long row = static_cast<long>(wparam), col = static_cast<long>(lparam);
      result = row >= 0 && row < rows_ && col >= 0 && col < cols_
                   ? static_cast<unsigned char>(cells_[row * cols_ + col])
                   : -1;
      return true;
    }
    case kMsgGetDpiScaledSize: {
      // Moving to a monitor of another dpi, Windows asks for the size first
      // and suggests a frame of that size with WM_DPICHANGED: whole cells of
      // the font at the new dpi, or the frame would not fit the grid, and
      // fitting it there could put the window back across the monitors'
      // edge while it is dragged.
      const unsigned newDpi = LOWORD(wparam);
      if (newDpi == 0) return false;
      *reinterpret_cast<SIZE*>(lparam) =
          FrameOf(cols_, rows_, CellOf(FontOf(font_.empty() ? kCellFont : font_, newDpi)), newDpi);
      result = TRUE;
      return true;
    }
    case kMsgFlush:
      console_->flush();
      result = 0;
      return true;
    case WM_CHAR:
    case WM_KEYDOWN:
      if (choice_) {
        if (const long key = KeyOfMessage(msg, wparam)) choiceKey(key);
        result = 0;
        return true;
      }
      return XbpWindow::onMessage(msg, wparam, lparam, result);
    default: return XbpWindow::onMessage(msg, wparam, lparam, result);
  }
}

// --- the choice box in cells ---------------------------------------------------------

struct XbpBaseCrt::ChoiceState {
  std::vector<std::string> lines;
  std::vector<std::string> options;
  long top = 0, left = 0, width = 0, height = 0;  // the frame, in cells
  long selected = 0;
  long answer = -2;  // -2 while the box runs
};

namespace {

// Double-line frame characters of code page 858.
constexpr char kTopLeft = '\xC9', kTopRight = '\xBB', kBottomLeft = '\xC8', kBottomRight = '\xBC';
constexpr char kHorizontal = '\xCD', kVertical = '\xBA';

std::vector<std::string> SplitLines(const std::string& text, size_t width) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(';', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    do {
      lines.push_back(line.substr(0, width));
      line.erase(0, std::min(width, line.size()));
    } while (!line.empty());
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

std::string FrameRow(char left, char fill, char right, long inner) {
  std::string row(static_cast<size_t>(inner) + 2, fill);
  row.front() = left;
  row.back() = right;
  return row;
}

char UpperByte(char c) {
  std::wstring wide = Wide(std::string_view(&c, 1));
  CharUpperBuffW(wide.data(), 1);
  const std::string upper = Narrow(wide);
  return upper.size() == 1 ? upper[0] : c;
}

}  // namespace

void XbpBaseCrt::drawChoice() {
  const ChoiceState& s = *choice_;
  const long inner = s.width - 2;
  putAt(s.top, s.left, FrameRow(kTopLeft, kHorizontal, kTopRight, inner), true);
  for (long r = 1; r < s.height - 1; ++r) putAt(s.top + r, s.left, FrameRow(kVertical, ' ', kVertical, inner), true);
  putAt(s.top + s.height - 1, s.left, FrameRow(kBottomLeft, kHorizontal, kBottomRight, inner), true);
  for (size_t i = 0; i < s.lines.size(); ++i) putAt(s.top + 1 + static_cast<long>(i), s.left + 2, s.lines[i], true);
  // The options side by side, centred; the chosen one stands out.
  long rowWidth = 0;
  for (const auto& option : s.options) rowWidth += static_cast<long>(option.size()) + 2;
  rowWidth += 2 * static_cast<long>(s.options.size() - 1);
  long col = s.left + 1 + std::max(0L, (inner - rowWidth) / 2);
  long selectedCol = col;
  const long optionRow = s.top + s.height - 2;
  for (size_t i = 0; i < s.options.size(); ++i) {
    const std::string label = " " + s.options[i] + " ";
    const bool chosen = static_cast<long>(i) == s.selected;
    if (chosen) selectedCol = std::min(col + 1, cols_ - 1);
    putAt(optionRow, col, label.substr(0, static_cast<size_t>(std::max(0L, s.left + s.width - 1 - col))), !chosen);
    col += static_cast<long>(label.size()) + 2;
  }
  setCursor(optionRow, selectedCol);
}

void XbpBaseCrt::choiceKey(long key) {
  ChoiceState& s = *choice_;
  const long n = static_cast<long>(s.options.size());
  if (key == kKeyLeft || key == kKeyShiftTab) {
    s.selected = (s.selected + n - 1) % n;
  } else if (key == kKeyRight || key == kKeyTab) {
    s.selected = (s.selected + 1) % n;
  } else if (key == kKeyEnter) {
    s.answer = s.selected + 1;
    return;
  } else if (key == kKeyEsc) {
    s.answer = 0;
    return;
  } else if (key > ' ' && key < 256) {
    const char wanted = UpperByte(static_cast<char>(key));
    for (long i = 0; i < n; ++i) {
      const std::string& option = s.options[i];
      const size_t first = option.find_first_not_of(' ');
      if (first != std::string::npos && UpperByte(option[first]) == wanted) {
        s.answer = i + 1;
        return;
      }
    }
    return;
  } else {
    return;
  }
  drawChoice();
}

long XbpBaseCrt::choiceBox(const std::string& text, const std::vector<std::string>& options) {
  if (!handle_ || options.empty() || choice_) return -1;
  HWND hwnd = Hwnd(handle_);
  if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return -1;
  if (rows_ < 5 || cols_ < 8) return -1;  // no room for a frame with a line and the options
  ChoiceState s;
  s.options = options;
  const size_t maxInner = static_cast<size_t>(cols_ - 4);
  s.lines = SplitLines(text, maxInner);
  if (s.lines.size() > static_cast<size_t>(rows_ - 4)) s.lines.resize(static_cast<size_t>(rows_ - 4));
  size_t inner = 10;
  for (const auto& line : s.lines) inner = std::max(inner, line.size());
  size_t optionsWidth = 0;
  for (const auto& option : options) optionsWidth += option.size() + 4;
  inner = std::min(std::max(inner + 2, optionsWidth), static_cast<size_t>(cols_ - 2));
  s.width = static_cast<long>(inner) + 2;
  s.height = static_cast<long>(s.lines.size()) + 4;
  s.left = (cols_ - s.width) / 2;
  s.top = (rows_ - s.height) / 2;

  const std::vector<char> savedCells = cells_;
  const std::vector<unsigned char> savedInverse = inverse_;
  const long savedRow = row_, savedCol = col_;
  const auto keep = shared_from_this();
  choice_ = &s;
  drawChoice();
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
  MSG msg;
  while (s.answer == -2) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the program's loop must see it too
      s.answer = -1;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (!handle_) s.answer = -1;
  }
  choice_ = nullptr;
  if (handle_) {
    cells_ = savedCells;
    inverse_ = savedInverse;
    invalidateRows(0, rows_ - 1);
    setCursor(savedRow, savedCol);
  }
  return s.answer;
}

// --- runtime-wide --------------------------------------------------------------------

std::shared_ptr<XbpBaseCrt> RootCrt() {
  auto root = RootSlot().lock();
  return root && root->isCreated() ? root : nullptr;
}

bool SetMouse() { return g_mouseOn.load(); }

bool SetMouse(bool on) { return g_mouseOn.exchange(on); }

}  // namespace rt
