#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "boxes.h"
#include "crt.h"
#include "events.h"
#include "output.h"
#include "settings.h"
#include "support/event_loop.h"
#include "support/heard.h"
#include "gui/native.h"

using namespace rt;
using valumat::XbpCrt;
using namespace guitest;

namespace {

template <class T = XbpCrt>
std::shared_ptr<T> Created(long rows, long cols) {
  auto crt = New<T>({AppDesktop(), NIL, Value{60, 60}, rows, cols, "Textfenster", true});
  crt->create();
  Drain();
  return crt;
}

// The window is the console while it lives; the previous one and the console
// setting come back afterwards.
struct AsAppWindow {
  WindowRef previous;
  Value console;
  explicit AsAppWindow(const WindowRef& w) : previous(SetAppWindow(w)), console(Set(kSetConsole, "ON")) {}
  ~AsAppWindow() {
    SetAppWindow(previous);
    Set(kSetConsole, console);
  }
};

LPARAM ClientPoint(int x, int y) { return MAKELPARAM(x, y); }

// Where a mouse callback was told the mouse is: "x,y", or "row,col" in cells.
std::string At(const Args& a) {
  const P at = Pair(Arg(a, 1).at(2));
  return std::to_string(at.first) + "," + std::to_string(at.second);
}

// The cell's pixels as painted by the window, and as `glyph` paints in the
// window's font and colours.
std::vector<COLORREF> Cell(HDC dc, int col, int row, int w, int h) {
  std::vector<COLORREF> pixels;
  for (int y = row * h; y < (row + 1) * h; ++y)
    for (int x = col * w; x < (col + 1) * w; ++x) pixels.push_back(GetPixel(dc, x, y));
  return pixels;
}

struct Canvas {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
  Canvas(int w, int h) {
    WindowDC screen(nullptr);
    dc = CreateCompatibleDC(screen.get());
    bitmap = CreateCompatibleBitmap(screen.get(), w, h);
    old = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

std::vector<COLORREF> Reference(const std::shared_ptr<XbpCrt>& crt, const wchar_t* glyph) {
  const int w = crt->FontWidth, h = crt->FontHeight;
  Canvas canvas(w, h);
  SelectInScope font(canvas.dc, reinterpret_cast<HFONT>(SendMessageW(H(crt), WM_GETFONT, 0, 0)));
  SetTextColor(canvas.dc, crt->resolvedForeground());
  SetBkColor(canvas.dc, crt->resolvedBackground());
  RECT r{0, 0, w, h};
  const INT advance = w;
  ExtTextOutW(canvas.dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &r, glyph, 1, &advance);
  return Cell(canvas.dc, 0, 0, w, h);
}

std::vector<COLORREF> Painted(const std::shared_ptr<XbpCrt>& crt, int col, int row) {
  RECT client{};
  GetClientRect(H(crt), &client);
  Canvas canvas(client.right, client.bottom);
  SendMessageW(H(crt), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
  return Cell(canvas.dc, col, row, crt->FontWidth, crt->FontHeight);
}

}  // namespace

TEST(Crt, ClientAreaIsExactlyTheGridOfAFixedFont) {
  auto crt = Created(10, 40);
  RECT client{};
  GetClientRect(H(crt), &client);
  EXPECT_EQ(client.right, 40 * crt->FontWidth);
  EXPECT_EQ(client.bottom, 10 * crt->FontHeight);
  EXPECT_EQ(crt->MaxRow, 9);
  EXPECT_EQ(crt->MaxCol, 39);
  // The cell is what the font really measures, the same for every character.
  HDC dc = GetDC(H(crt));
  {
    SelectInScope font(dc, reinterpret_cast<HFONT>(SendMessageW(H(crt), WM_GETFONT, 0, 0)));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    EXPECT_EQ(crt->FontHeight, tm.tmHeight);
    SIZE i{}, m{};
    GetTextExtentPoint32W(dc, L"iiii", 4, &i);
    GetTextExtentPoint32W(dc, L"MMMM", 4, &m);
    EXPECT_EQ(i.cx, m.cx);
    EXPECT_EQ(m.cx, 4 * crt->FontWidth);
  }
  ReleaseDC(H(crt), dc);
  const LONG_PTR style = GetWindowLongPtrW(H(crt), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_EQ(WindowTextOf(H(crt)), L"Textfenster");
  crt->destroy();
  Drain();

  // Defaults 25 x 80; arguments left out arrive as NIL, not modal, no result.
  auto plain = New<XbpCrt>({AppDesktop()});
  EXPECT_EQ(plain->MaxRow, 24);
  EXPECT_EQ(plain->MaxCol, 79);
  EXPECT_FALSE(plain->IsModal);
  EXPECT_EQ(plain->ModalResult, Value(0));
  EXPECT_EQ(plain->MouseMode, 1);
}

TEST(Crt, WritingBreaksLinesAndScrollsAtTheBottom) {
  auto crt = Created(3, 5);
  crt->write("ab\r\ncd");
  EXPECT_EQ(crt->rowText(0), "ab   ");
  EXPECT_EQ(crt->rowText(1), "cd   ");
  EXPECT_EQ(crt->row(), 1);
  EXPECT_EQ(crt->col(), 2);
  // LF alone keeps the column, CR alone goes back over the line.
  crt->write("\nX\rY");
  EXPECT_EQ(crt->rowText(2), "Y X  ");
  // Past the right edge the text goes on in the next row; below the last row
  // everything moves up.
  crt->write("\r\n12345678");
  EXPECT_EQ(crt->rowText(0), "Y X  ");
  EXPECT_EQ(crt->rowText(1), "12345");
  EXPECT_EQ(crt->rowText(2), "678  ");
  EXPECT_EQ(crt->row(), 2);
  EXPECT_EQ(crt->col(), 3);
  // Read from outside, cell by cell.
  EXPECT_EQ(SendMessageW(H(crt), kCrtMsgCellAt, 2, 1), '7');
  EXPECT_EQ(SendMessageW(H(crt), kCrtMsgCellAt, 3, 0), -1);
  crt->setCursor(99, -3);
  EXPECT_EQ(crt->row(), 2);
  EXPECT_EQ(crt->col(), 0);
  crt->destroy();
  Drain();
}

TEST(Crt, CellsShowCodePage858ThroughTheRuntimesTable) {
  auto crt = Created(2, 10);
  crt->write("\xD5" "A");
  EXPECT_EQ(crt->rowText(0).substr(0, 2), "\xD5" "A");
  const auto euro = Painted(crt, 0, 0);
  EXPECT_EQ(euro, Reference(crt, L"\u20AC"));
  EXPECT_NE(euro, Reference(crt, L"\u00D5"));  // what Windows' code page would show
  EXPECT_EQ(Painted(crt, 1, 0), Reference(crt, L"A"));
  EXPECT_EQ(Painted(crt, 2, 0), Reference(crt, L" "));
  crt->destroy();
  Drain();
}

TEST(Crt, PresentationParametersColourTheCells) {
  auto crt = New<XbpCrt>({AppDesktop(), NIL, Value{60, 60}, 2, 4, "Farben", true});
  crt->create({AppDesktop(), NIL, Value{60, 60}, 2, 4, "Farben", true});
  crt->setColorFG(2);
  crt->setColorBG(4);
  crt->write("X");
  const auto cell = Painted(crt, 0, 0);
  EXPECT_NE(std::find(cell.begin(), cell.end(), RGB(255, 0, 0)), cell.end());
  EXPECT_EQ(Painted(crt, 1, 0), std::vector<COLORREF>(cell.size(), RGB(0, 255, 0)));
  crt->destroy();
  Drain();
}

TEST(Crt, ConsoleOutputGoesIntoTheApplicationWindow) {
  auto crt = Created(5, 20);
  {
    AsAppWindow app(crt);
    QOut("Gr\x94\xe1" "e", 5);
    EXPECT_EQ(crt->rowText(1).substr(0, 8), "Gr\x94\xe1" "e 5 ");
    EXPECT_EQ(Row(), 1);
    EXPECT_EQ(Col(), 7);
    SetPos(3, 4);
    EXPECT_EQ(crt->row(), 3);
    QQOut("x");
    OutErr("E");
    EXPECT_EQ(crt->rowText(3).substr(0, 7), "    xE ");
    // Console off: nothing reaches the window.
    Set(kSetConsole, "OFF");
    QOut("nicht");
    EXPECT_EQ(crt->row(), 3);
    Set(kSetConsole, "ON");
    // Another thread's output reaches the window on its own thread, in order.
    std::thread worker([] {
      QOut("a");
      QQOut("b");
    });
    worker.join();
    EXPECT_EQ(crt->rowText(4).substr(0, 2), "  ");
    Drain();
    EXPECT_EQ(crt->rowText(4).substr(0, 3), "ab ");
  }
  // No longer the application window: output leaves it alone.
  QOut("weg");
  EXPECT_EQ(crt->row(), 4);
  EXPECT_EQ(crt->col(), 2);
  crt->destroy();
  Drain();
}

TEST(Crt, KeysReachTheKeyboardCallbackAndTheCaretFollowsTheCursor) {
  auto crt = Created(5, 20);
  Heard keys;
  crt->keyboard = keys.block();
  SetForegroundWindow(H(crt));
  SetFocus(H(crt));
  Drain();
  crt->write("abc\r\nde");
  POINT caret{};
  GetCaretPos(&caret);
  EXPECT_EQ(caret.x, 2 * crt->FontWidth);
  EXPECT_GE(caret.y, crt->FontHeight);
  EXPECT_LT(caret.y, 2 * crt->FontHeight);
  PostMessageW(H(crt), WM_CHAR, L'a', 1);
  PostMessageW(H(crt), WM_CHAR, 27, 1);
  PostMessageW(H(crt), WM_CHAR, L'\t', 1);
  PostMessageW(H(crt), WM_KEYDOWN, VK_F2, 1);
  Drain();
  EXPECT_EQ(keys.numbers(), (std::vector<long>{'a', kKeyEsc, kKeyTab, -1}));
  // The close button asks; the window stays.
  int closes = 0;
  crt->close = [&closes](const Args&) -> Value { return ++closes; };
  PostMessageW(H(crt), WM_CLOSE, 0, 0);
  Drain();
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(IsWindow(H(crt)));
  crt->destroy();
  Drain();
}

TEST(Crt, OutputFromOtherThreadsNeverReachesCellsOffTheWindowsThread) {
  auto crt = Created(5, 20);
  const auto console = crt->console();
  crt->destroy();
  Drain();
  // A worker that still holds the console of a window that is gone.
  std::thread([&console] {
    console->write("ZZ");
    console->setPos(2, 2);
  }).join();
  EXPECT_EQ(crt->rowText(0).substr(0, 2), "  ");
  EXPECT_EQ(crt->row(), 0);

  // Workers writing while text windows come and go as the console.
  auto current = Created(5, 20);
  std::atomic<int> writing{3};
  std::vector<std::thread> workers;
  {
    AsAppWindow app(current);
    for (int i = 0; i < 3; ++i)
      workers.emplace_back([&writing] {
        for (long n = 0; n < 300; ++n) {
          QQOut("x");
          if (n % 16 == 0) SetPos(Row(), 0);
          Sleep(1);  // a worker that reports, not one that floods the window's queue
        }
        --writing;
      });
    // Each window is made, becomes the console, and goes while output comes
    // in; its own messages are handed on, a bounded number per window.
    for (int round = 0; writing > 0 && round < 2000; ++round) {
      auto next = New<XbpCrt>({AppDesktop(), NIL, Value{60, 60}, 5, 20, "Textfenster", true});
      next->create();
      SetAppWindow(next);
      current->destroy();
      MSG msg;
      for (int i = 0; i < 50 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageW(&msg);
      current = next;
    }
    for (auto& t : workers) t.join();
    QQOut("y");
  }
  Drain();
  std::string cells;
  for (long r = 0; r < 5; ++r) cells += current->rowText(r);
  EXPECT_NE(cells.find('y'), std::string::npos);  // the last window is the console to the end
  current->destroy();
  Drain();
}

// A wake-up the window's queue did not take is posted again with the next
// write from another thread, and the output then shows without the window's
// own thread writing.
TEST(Crt, OutputWhoseWakeUpFailedComesWithTheNextWrite) {
  static std::atomic<int> posts{0};
  const CrtPoster failFirst = [](NativeWindow hwnd, unsigned msg) {
    return ++posts > 1 && PostMessageW(hwnd, msg, 0, 0) != FALSE;
  };
  const CrtPoster previous = SetCrtPoster(failFirst);
  auto crt = Created(3, 10);
  {
    AsAppWindow app(crt);
    std::thread([] { QQOut("a"); }).join();
    Drain();
    EXPECT_EQ(crt->rowText(0).substr(0, 2), "  ");  // its wake-up failed
    std::thread([] { QQOut("b"); }).join();
    Drain();
    EXPECT_EQ(crt->rowText(0).substr(0, 3), "ab ");
    EXPECT_EQ(posts, 2);
  }
  SetCrtPoster(previous);
  crt->destroy();
  Drain();
}

// A worker that looks for the console holds the application window for a
// moment; were its reference the last, the window object and its callbacks
// would end on the worker, under the output lock. They end on the GUI thread.
TEST(Crt, AWindowObjectAWorkerHeldLastEndsOnTheGuiThread) {
  struct Probe {
    explicit Probe(std::atomic<DWORD>& e) : endedOn(e) {}
    ~Probe() { endedOn = GetCurrentThreadId(); }
    std::atomic<DWORD>& endedOn;
  };
  std::atomic<bool> stop{false};
  std::thread worker([&stop] {
    while (!stop) Row();  // looks for the console, as every output does
  });
  const DWORD gui = GetCurrentThreadId();
  constexpr int kRounds = 40;
  std::vector<int> offThread;
  int held = 0;
  for (int round = 0; round < kRounds; ++round) {
    std::atomic<DWORD> endedOn{0};
    {
      auto crt = New<XbpCrt>({AppDesktop(), NIL, Value{60, 60}, 3, 10, "Textfenster", false});
      auto probe = std::make_shared<Probe>(endedOn);
      crt->close = [probe](const Args&) -> Value { return NIL; };
      const WindowRef previous = SetAppWindow(crt);
      // Let go the moment the worker holds it too (ours and the slot's).
      const DWORD until = GetTickCount() + 2000;
      while (crt.use_count() <= 2 && GetTickCount() < until) {
      }
      if (crt.use_count() > 2) ++held;
      SetAppWindow(previous);
    }
    // The GUI thread lets go of what workers handed back as its loop turns.
    const DWORD until = GetTickCount() + 5000;
    Value mp1, mp2;
    ObjectRef object;
    while (!endedOn && GetTickCount() < until) AppEvent(mp1, mp2, object, 1);
    ASSERT_NE(endedOn, 0u) << "round " << round << ": the window object was not released within 5 s";
    if (endedOn != gui) offThread.push_back(round);
  }
  stop = true;
  worker.join();
  EXPECT_GT(held, 0) << "the worker never held the application window";
  EXPECT_TRUE(offThread.empty()) << offThread.size() << " of " << kRounds << " window objects ended on the worker, first in round "
                                 << offThread.front();
}

TEST(Crt, MouseEventsCarryBottomUpPixelsOrCells) {
  auto base = Created<XbpBaseCrt>(10, 20);
  Heard downs, ups, moves;
  base->lbDown = downs.block({}, At, nullptr, {2});
  base->lbUp = ups.block({}, At);
  base->motion = moves.block({}, At);
  const long height = 10 * base->FontHeight;
  PostMessageW(H(base), WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(3, 0));
  PostMessageW(H(base), WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(7, 5));
  PostMessageW(H(base), WM_LBUTTONUP, 0, ClientPoint(7, height - 1));
  Drain();
  EXPECT_EQ(downs.take(), Lines{"3," + std::to_string(height - 1)});
  EXPECT_EQ(ups.take(), Lines{"7,0"});
  const Lines moved = moves.take();
  EXPECT_NE(std::find(moved.begin(), moved.end(), "7," + std::to_string(height - 6)), moved.end());

  // The public class reports cells as {row, column}.
  auto crt = Created(10, 20);
  Heard cells;
  crt->lbDown = cells.block({}, At);
  // Row 2, column 5, from the top-left pixel of the cell.
  PostMessageW(H(crt), WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(5 * crt->FontWidth + 1, 2 * crt->FontHeight + 1));
  Drain();
  EXPECT_EQ(cells.take(), Lines{"2,5"});

  // Switched off, no window reports the mouse.
  EXPECT_TRUE(SetMouse(false));
  PostMessageW(H(crt), WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(3, 3));
  PostMessageW(H(base), WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(3, 3));
  const auto events = Drain();
  EXPECT_FALSE(SetMouse(true));
  EXPECT_TRUE(Only(events, kEvMouseLbDown).empty());
  EXPECT_EQ(downs.size() + cells.size(), 0u);
  base->destroy();
  crt->destroy();
  Drain();
}

TEST(Crt, PublicClassConvertsPositionsBeforeTheBaseSeesThem) {
  auto crt = Created(25, 80);
  crt->FontWidth = 8;
  crt->FontHeight = 16;
  crt->MaxRow = 24;
  Heard seen;
  crt->lbUp = seen.block({}, At);
  const Value position{20, 100};
  const Value mp1{Value{20, 100}, position};
  EXPECT_TRUE(crt->handleEvent(kEvMouseLbUp, mp1, NIL).isObject());
  EXPECT_EQ(Pair(position), (P{20, 100}));  // the caller's position is left as it was
  EXPECT_EQ(Pair(mp1.at(2)), (P{18, 2}));     // the caller's event holds the cell in its place
  crt->handleEvent(kEvMouseMove, Value{NIL, Value{0, 0}}, NIL);  // motion has no callback: nothing seen
  // The bottom-left pixel lies in the last row too.
  crt->handleEvent(kEvMouseLbUp, Value{NIL, Value{0, 0}}, NIL);
  crt->handleEvent(kEvMouseLbUp, Value{NIL, Value{7.9, 15.9}}, NIL);
  crt->MouseMode = 0;
  crt->handleEvent(kEvMouseLbUp, Value{NIL, Value{20, 100}}, NIL);
  EXPECT_EQ(seen.take(), (Lines{"18,2", "24,0", "24,0", "20,100"}));

  // Switched off: answered with 0 and not passed on; other events still are.
  crt->MouseMode = 1;
  SetMouse(false);
  const Value answer = crt->handleEvent(kEvMouseLbUp, Value{NIL, Value{20, 100}}, NIL);
  int closes = 0;
  crt->close = [&closes](const Args&) -> Value { return ++closes; };
  crt->handleEvent(kEvClose, NIL, NIL);
  SetMouse(true);
  EXPECT_EQ(answer, Value(0));
  EXPECT_EQ(seen.size(), 0u);
  EXPECT_EQ(closes, 1);
  crt->destroy();
  Drain();
}

TEST(Crt, InvalidateRectRepaintsThatPartWithTheDrawing) {
  auto crt = Created(4, 20);
  UpdateWindow(H(crt));
  RECT client{};
  GetClientRect(H(crt), &client);
  auto pixel = [&](int x, int y) {
    WindowDC dc(H(crt));
    return GetPixel(dc.get(), x, client.bottom - 1 - y);
  };
  // Retained only: nothing shows until the window paints that part.
  const PresSpaceRef ps = crt->presSpace();
  ps->drawMode({kDrawModeRetain});
  ps->setColor({2});
  GraLine(ps, Value{0, 5}, Value{client.right - 1, 5});
  EXPECT_EQ(pixel(10, 5), RGB(0, 0, 0));
  EXPECT_TRUE(crt->InvalidateRect(Value{0, 0, 40, 10}));
  UpdateWindow(H(crt));
  EXPECT_EQ(pixel(10, 5), RGB(255, 0, 0));
  EXPECT_EQ(pixel(60, 5), RGB(0, 0, 0));
  // Written cells paint again under the drawing.
  crt->setCursor(3, 0);
  crt->write("\xDB\xDB\xDB\xDB\xDB\xDB\xDB\xDB\xDB\xDB");
  UpdateWindow(H(crt));
  EXPECT_EQ(pixel(10, 5), RGB(255, 0, 0));
  EXPECT_EQ(pixel(10, 8), RGB(192, 192, 192));  // the full block, light grey
  crt->destroy();
  Drain();
}

namespace {

// What the box showed, seen from inside its own message loop.
std::shared_ptr<XbpCrt> g_boxCrt;
std::vector<std::string> g_boxRows;

void CALLBACK LookAtBox(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_boxRows.clear();
  for (long r = 0; r <= g_boxCrt->MaxRow; ++r) g_boxRows.push_back(g_boxCrt->rowText(r));
  PostMessageW(H(g_boxCrt), WM_KEYDOWN, VK_RIGHT, 1);
  PostMessageW(H(g_boxCrt), WM_KEYDOWN, VK_RIGHT, 1);
  PostMessageW(H(g_boxCrt), WM_KEYDOWN, VK_LEFT, 1);
  PostMessageW(H(g_boxCrt), WM_CHAR, '\r', 1);
}

}  // namespace

TEST(Crt, ChoiceBoxInTheTextWindowAnswersByKeys) {
  auto crt = Created(12, 80);
  AsAppWindow app(crt);
  QOut("Zeile eins");
  QOut("Zeile zwei");
  std::vector<std::string> before;
  for (long r = 0; r <= crt->MaxRow; ++r) before.push_back(crt->rowText(r));
  const std::vector<std::string> options{"Abbrechen", "Ende mit LOG-Datei", "Wiederholen", "Ignorieren"};

  g_boxCrt = crt;
  SetTimer(nullptr, 0, 10, LookAtBox);
  EXPECT_EQ(Alert("Fehler beim \x99" "ffnen;zweite Zeile", options), 2);
  g_boxCrt.reset();
  // Framed, centred, both text lines and all options inside the frame.
  ASSERT_EQ(g_boxRows.size(), 12u);
  size_t top = 0;
  while (top < g_boxRows.size() && g_boxRows[top].find('\xC9') == std::string::npos) ++top;
  ASSERT_LT(top + 5, g_boxRows.size());
  const size_t left = g_boxRows[top].find('\xC9');
  const size_t right = g_boxRows[top].find('\xBB');
  EXPECT_LE(std::labs(static_cast<long>(left) - static_cast<long>(80 - right - 1)), 1);
  EXPECT_NE(g_boxRows[top + 1].find("Fehler beim \x99" "ffnen"), std::string::npos);
  EXPECT_NE(g_boxRows[top + 2].find("zweite Zeile"), std::string::npos);
  const std::string& optionRow = g_boxRows[top + 4];
  EXPECT_LT(left, optionRow.find("Abbrechen"));
  EXPECT_LT(optionRow.find("Ignorieren"), right);
  EXPECT_EQ(g_boxRows[top + 5][left], '\xC8');
  // The cells under the box and the cursor come back.
  for (long r = 0; r <= crt->MaxRow; ++r) EXPECT_EQ(crt->rowText(r), before[r]) << r;
  EXPECT_EQ(crt->row(), 2);
  EXPECT_EQ(crt->col(), 10);

  // A letter takes its option; Escape answers 0; Tab goes round.
  PostMessageW(H(crt), WM_CHAR, 'i', 1);
  EXPECT_EQ(Alert("Frage", options), 4);
  PostMessageW(H(crt), WM_CHAR, 27, 1);
  EXPECT_EQ(Alert("Frage", options), 0);
  for (int i = 0; i < 5; ++i) PostMessageW(H(crt), WM_CHAR, '\t', 1);
  PostMessageW(H(crt), WM_CHAR, '\r', 1);
  EXPECT_EQ(Alert("Frage", options), 2);
  // Keys meant for the box never reach the program.
  EXPECT_TRUE(Only(Drain(), kEvKeyboard).empty());
  crt->destroy();
  Drain();
}

TEST(Crt, DestroyGivesBackHandlesAndDropsCallbacks) {
  std::shared_ptr<XbpCrt> last;
  const long left = HandlesLeftBy([&last] {
    auto crt = New<XbpCrt>({AppDesktop(), NIL, Value{60, 60}, 5, 20, "Weg", true});
    crt->create();
    crt->close = [crt](const Args&) -> Value { return NIL; };  // holds its own window
    crt->lbDown = [crt](const Args&) -> Value { return NIL; };
    crt->write("Gr\x94\xe1" "e \xD5");
    GraLine(crt->presSpace(), Value{0, 0}, Value{50, 50});
    RedrawWindow(H(crt), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    crt->destroy();
    Drain();
    last = crt;
  });
  EXPECT_EQ(left, 0);
  EXPECT_TRUE(last->close.isNil());
  EXPECT_TRUE(last->lbDown.isNil());
  EXPECT_FALSE(last->isCreated());
}

TEST(Crt, RootIsTheFirstTextWindowWhileItLives) {
  auto first = Created(3, 10);
  auto second = Created(3, 10);
  EXPECT_EQ(RootCrt(), first);
  first->destroy();
  Drain();
  EXPECT_EQ(RootCrt(), nullptr);
  auto third = Created(3, 10);
  EXPECT_EQ(RootCrt(), third);
  // The error log asks by the root's class.
  EXPECT_TRUE(second->isDerivedFrom(RootCrt()->className()));
  EXPECT_FALSE(New<XbpBaseCrt>()->isDerivedFrom(RootCrt()->className()));
  second->destroy();
  third->destroy();
  Drain();
  EXPECT_EQ(RootCrt(), nullptr);
}
