// Text-mode windows: a top-level window of its own class showing a grid of
// character cells, as a console does, inside the GUI program. Cells hold code
// page 858 bytes; the client area is exactly the grid. While the window is
// the application window it is the console: QOut, QQOut and OutErr write
// into it at its cursor, and Row/Col/SetPos follow that cursor. The choice
// box (Alert) shows inside it, drawn in cells.
//
// Mouse events (kEvMouseLbDown, kEvMouseLbUp, kEvMouseMove) carry mp1 =
// {{x, y}, {x, y}}: the pointer position in the program's pixels of the client
// area, x from the left, y upwards from the bottom pixel row (0); both
// elements are the same position, the second one is the one callers read
// (public classes may convert it to a cell). mp2 is NIL.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../console.h"
#include "window.h"

namespace rt {

// Sent to a text-mode window with the 0-based row in wParam and column in
// lParam, it answers the byte in that cell (-1 outside the grid): tools that
// read the screen from another process have no other way to the cells.
inline constexpr unsigned kCrtMsgCellAt = 0x0400 + 2;  // WM_USER + 2

class XbpBaseCrt : public XbpWindow, public ConsoleCells {
  RT_CLASS("XbpBaseCrt", XbpBaseCrt, XbpWindow)

 public:
  XbpBaseCrt();
  ~XbpBaseCrt() override;

  // Construction arguments: parent, owner, position, number of rows (25),
  // number of columns (80), title, visibility. The size follows from the
  // grid and the cell font.
  void init(const Args& args) override;

  // Writes bytes at the cursor: CR goes to column 0, LF to the next row;
  // text wraps at the right edge, and a new line below the last row scrolls
  // the grid up by one.
  void write(std::string_view bytes) override;
  // The cursor: 0-based row and column; setCursor clamps to the grid.
  long row() const override { return row_; }
  long col() const override { return col_; }
  void setCursor(long row, long col) override;
  // The bytes of one row (0-based), MaxCol + 1 of them; "" outside the grid.
  std::string rowText(long row) const;
  // Puts bytes into the cells of one row from `col` on, without moving the
  // cursor; what passes the right edge is cut off.
  void putAt(long row, long col, std::string_view bytes, bool inverse = false);
  // Blanks every cell and puts the cursor home.
  void clear();
  // Repaints the part {x1, y1, x2, y2} of the client area, in the
  // presentation space's bottom-up pixels; NIL repaints all of it.
  bool InvalidateRect(const Value& rect = Value());
  bool setTitle(const std::string& newTitle);

  // The choice box inside the window: the text (";" separates lines) in a
  // frame centred on the grid, above a row of options. Left/Right and
  // Tab/Shift+Tab choose, Enter takes, a letter takes the first option that
  // starts with it, Escape answers 0. The cells under the box come back
  // afterwards. Returns the option's number from 1; -1 when the box cannot
  // be shown (not created, no option, not the window's thread, the program
  // ends meanwhile).
  long choiceBox(const std::string& text, const std::vector<std::string>& options);

  // Size of one cell in the program's pixels, as the cell font measures at
  // the window's dpi; last row and column.
  double FontWidth = 0;
  double FontHeight = 0;
  long MaxRow = 24;
  long MaxCol = 79;
  // 1: the public class reports mouse positions as {row, column}.
  long MouseMode = 1;
  std::string title;
  Value close;   // the close button (kEvClose)
  Value lbDown;  // kEvMouseLbDown
  Value lbUp;    // kEvMouseLbUp
  Value motion;  // kEvMouseMove

  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  void onNativeDestroyed() override;
  void onDpiChanged() override;
  // A console has no control of its own: every key is the program's.
  bool keepsKey(long) const override { return false; }

  // Runtime side: what line output uses while this window is the console.
  std::shared_ptr<ConsoleChannel> console() const { return console_; }

 protected:
  NativeSpec nativeSpec() const override;
  const EventRoutes& routes() const override;
  void afterCreate() override;

 private:
  struct ChoiceState;
  // From the first text-mode window on, line output looks for its console
  // in the application window (crtconsole.cpp).
  static void OfferConsoles();
  NativeFont cellFont() const;
  void measureCells();
  // Sizes the frame so that the client area is the grid; `keepBottom` keeps
  // its bottom edge (as placed), else its top edge.
  void fitFrameToGrid(bool keepBottom);
  void placeCaret();
  void paint(NativeDC dc);
  void invalidateRows(long fromRow, long toRow);
  void lineFeed();
  void choiceKey(long key);
  void drawChoice();
  void postMouse(long event, intptr_t lparam);

  long rows_ = 25;
  long cols_ = 80;
  long cellWidth_ = 1;  // device pixels
  long cellHeight_ = 1;
  unsigned cellDpi_ = 0;  // what the cells were measured at
  std::vector<char> cells_;
  std::vector<unsigned char> inverse_;  // 1 where a cell shows in reverse video
  long row_ = 0;
  long col_ = 0;
  bool caretShown_ = false;
  ChoiceState* choice_ = nullptr;  // while choiceBox runs
  std::shared_ptr<ConsoleChannel> console_;
};

// How a text-mode window's console posts its wake-up to the window: with
// PostMessage, unless a test has put another in (a post can fail: a full
// queue). SetCrtPoster(nullptr) puts PostMessage back; answers the previous.
using CrtPoster = bool (*)(NativeWindow hwnd, unsigned msg);
CrtPoster SetCrtPoster(CrtPoster poster);

// The first text-mode window the program created; nullptr once it is gone
// (the next one created then takes its place).
std::shared_ptr<XbpBaseCrt> RootCrt();

// Whether text-mode windows report mouse events; SetMouse(on) switches them
// and answers the previous state. On at start.
bool SetMouse();
bool SetMouse(bool on);

}  // namespace rt
