// Display scaling: the program's pixels (96 dpi) become device pixels at each
// window's dpi, and a window told of another dpi (WM_DPICHANGED, as when it
// is moved to another monitor) lays itself out again. The suite runs at 96
// dpi; other dpis are reached by telling the windows.
#include <gtest/gtest.h>

#include <algorithm>

#include "controls.h"
#include "crt.h"
#include "events.h"
#include "presspace.h"
#include "support/event_loop.h"
#include "support/monitors.h"
#include "gui/native.h"

using namespace rt;
using namespace valumat;
using namespace guitest;

namespace {

RECT WindowRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

// Tells a top-level window it now shows at `dpi`, with the frame the system
// would suggest: the same top-left corner, the size scaled.
void MoveToDpi(const WindowRef& window, unsigned dpi) {
  const RECT r = WindowRect(H(window));
  const unsigned was = window->dpi();
  RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, static_cast<int>(dpi), static_cast<int>(was)),
                 r.top + MulDiv(r.bottom - r.top, static_cast<int>(dpi), static_cast<int>(was))};
  SendMessageW(H(window), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  BITMAP bm{};
  if (!icon || !GetIconInfo(icon, &info)) return {};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return {bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
}

TEST(Scaling, ProgramPixelsBecomeDevicePixelsByOneRule) {
  const struct {
    double value;
    unsigned dpi;
    long device;
  } cases[] = {{100.5, 96, 101}, {-0.5, 96, -1}, {33, 120, 41}, {21, 120, 26}, {33, 144, 50},
               {281, 144, 422}, {290, 144, 435}, {76, 144, 114}, {140, 192, 280}, {0.25, 192, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(ToDevice(c.value, c.dpi), c.device) << c.value << " at " << c.dpi;
    // What is placed in device pixels reads back as placed.
    EXPECT_EQ(ToDevice(ToApp(c.device, c.dpi), c.dpi), c.device) << c.device << " at " << c.dpi;
  }
  EXPECT_EQ(ToApp(101, 96), 101.0);  // no fractions creep in where nothing is scaled
}

// A converter-like window: bitmap, label sized to its text, field, button, icon.
struct Form {
  std::shared_ptr<XbpDialog> dlg;
  std::shared_ptr<XbpStatic> flag, label;
  std::shared_ptr<XbpSLE> field;
  std::shared_ptr<XbpPushButton> button;

  explicit Form(const Value& pos = Value{100, 100})
      : dlg(New<XbpDialog>({AppDesktop(), NIL, pos, Value{280, 140}, NIL, false})) {
    dlg->icon = 333;
    dlg->create();
    const WindowRef area = dlg->drawingArea();
    area->setFontCompoundName("9.Arial Fett");
    flag = New<XbpStatic>({area, NIL, Value{5, 75}, Value{108, 144}});
    flag->type = XbpStatic::kTypeBitmap;
    flag->caption = 931;
    flag->autoSize = true;
    flag->create();
    label = New<XbpStatic>({area, NIL, Value{148, 75}, Value{20, 20}});
    label->caption = "DM";
    label->autoSize = true;
    label->create();
    field = New<XbpSLE>({area, NIL, Value{44, 40}, Value{96, 24}});
    field->create();
    button = New<XbpPushButton>({area, NIL, Value{192, 40}, Value{76, 24}});
    button->caption = " ~Beenden";
    button->create();
  }
  ~Form() {
    dlg->destroy();
    Drain();
  }
  std::vector<WindowRef> controls() const { return {flag, label, field, button}; }
};

TEST(Scaling, AWindowToldOfAnotherDpiLaysItselfOutAgain) {
  Form form;
  std::vector<std::pair<Value, Value>> placed;
  for (const WindowRef& c : form.controls()) placed.emplace_back(c->currentPos(), c->currentSize());
  const LONG fontAt96 = FontOfControl(H(form.field)).lfHeight;

  for (unsigned dpi : {192u, 144u, 96u}) {
    SCOPED_TRACE(dpi);
    MoveToDpi(form.dlg, dpi);
    EXPECT_EQ(form.dlg->dpi(), dpi);
    const RECT area = WindowRect(H(form.dlg->drawingArea()));
    const auto controls = form.controls();
    for (size_t i = 0; i < controls.size(); ++i) {
      // The program sees what it placed (the label its text's size, which
      // the font at another size makes a little different); the screen the
      // scaled rectangle.
      EXPECT_EQ(Pair(controls[i]->currentPos()), Pair(placed[i].first)) << i;
      if (controls[i] != form.label) {
        EXPECT_EQ(Pair(controls[i]->currentSize()), Pair(placed[i].second)) << i;
      }
      const RECT r = WindowRect(H(controls[i]));
      EXPECT_EQ(r.left - area.left, ToDevice(placed[i].first.at(1).number(), dpi)) << i;
      EXPECT_EQ(area.bottom - r.bottom, ToDevice(placed[i].first.at(2).number(), dpi)) << i;
    }
    const RECT field = WindowRect(H(form.field));
    EXPECT_EQ(field.right - field.left, ToDevice(96, dpi));
    EXPECT_EQ(field.bottom - field.top, ToDevice(24, dpi));
    // The flag takes the size of its picture, loaded at the scaled size;
    // fonts and icons are made anew.
    const RECT flag = WindowRect(H(form.flag));
    EXPECT_EQ(flag.right - flag.left, ToDevice(33, dpi));
    EXPECT_EQ(flag.bottom - flag.top, ToDevice(21, dpi));
    EXPECT_EQ(FontOfControl(H(form.field)).lfHeight, -MulDiv(9, dpi, 72));
    // At the system's DPI the window shows its class's icon and has none of its own.
    HICON shown = reinterpret_cast<HICON>(SendMessageW(H(form.dlg), WM_GETICON, ICON_BIG, 0));
    if (!shown) shown = reinterpret_cast<HICON>(GetClassLongPtrW(H(form.dlg), GCLP_HICON));
    const SIZE big = IconSize(shown);
    EXPECT_EQ(big.cx, MetricForDpi(SM_CXICON, dpi));
  }
  EXPECT_EQ(FontOfControl(H(form.field)).lfHeight, fontAt96);
}

TEST(Scaling, TextWindowCellsFollowTheFontAndClicksFindTheirCell) {
  auto crt = New<XbpCrt>({AppDesktop(), NIL, Value{40, 40}, 10, 20, "Zellen", true});
  crt->create();
  const double width96 = crt->FontWidth, height96 = crt->FontHeight;
  for (unsigned dpi : {144u, 192u}) {
    SCOPED_TRACE(dpi);
    MoveToDpi(crt, dpi);
    HDC dc = GetDC(H(crt));
    TEXTMETRICW tm{};
    {
      SelectInScope font(dc, reinterpret_cast<HFONT>(SendMessageW(H(crt), WM_GETFONT, 0, 0)));
      GetTextMetricsW(dc, &tm);
    }
    ReleaseDC(H(crt), dc);
    RECT client{};
    GetClientRect(H(crt), &client);
    const long cellHeight = ToDevice(crt->FontHeight, dpi), cellWidth = ToDevice(crt->FontWidth, dpi);
    EXPECT_EQ(cellHeight, tm.tmHeight);
    EXPECT_EQ(client.bottom, 10 * cellHeight);
    EXPECT_EQ(client.right, 20 * cellWidth);
    // In the program's pixels a cell stays about the size it was.
    EXPECT_NEAR(crt->FontHeight, height96, 2);
    EXPECT_NEAR(crt->FontWidth, width96, 2);

    // The first device pixel of every cell of a row is in that cell.
    std::vector<P> cells;
    crt->lbDown = [&cells](const Args& a) -> Value {
      cells.push_back(Pair(Arg(a, 1).at(2)));
      return NIL;
    };
    for (long col = 0; col < 20; ++col)
      PostMessageW(H(crt), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(col * cellWidth, 3 * cellHeight));
    Drain();
    ASSERT_EQ(cells.size(), 20u);
    for (long col = 0; col < 20; ++col) EXPECT_EQ(cells[col], P(3, col));
  }
  crt->destroy();
  Drain();
}

TEST(Scaling, PresentationSpacesDrawAndMeasureInProgramPixels) {
  Form form;
  auto canvas = New<XbpStatic>({form.dlg->drawingArea(), NIL, Value{0, 0}, Value{40, 40}});
  canvas->create();
  auto ps = New<XbpPresSpace>();
  ps->create({canvas});
  ps->setFont({"12.Arial"});
  const double wide96 = ps->queryTextBox("Zeichnen").at(3).at(1).number();
  MoveToDpi(form.dlg, 192);
  EXPECT_NEAR(ps->queryTextBox("Zeichnen").at(3).at(1).number(), wide96, 2);
  EXPECT_EQ(Pair(ps->MapPoint(Value{10, 20})), P(20, 80 - 1 - 40));
  EXPECT_EQ(Pair(ps->MapPoint(Value{20, 39}, false)), P(10, 20));

  // A line along the bottom row from x 0 to 9 covers device columns 0 to 19.
  Value attrs = NewArray(4);
  attrs[1] = 2;  // red
  ps->setAttrLine({attrs});
  ps->drawMode({kDrawModeRetain});
  GraLine(ps, Value{0, 0}, Value{9, 0});
  WindowDC screen(nullptr);
  HDC dc = CreateCompatibleDC(screen.get());
  HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), 80, 80);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 80, 80};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ps->replay(dc);
  for (int x = 0; x < 20; ++x) EXPECT_EQ(GetPixel(dc, x, 79), RGB(255, 0, 0)) << x;
  EXPECT_EQ(GetPixel(dc, 24, 79), RGB(255, 255, 255));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

// --- several monitors: Windows tells a window its dpi where it opens, and
// asks it for its size before it moves it to a monitor of another dpi.

TEST(Scaling, AWindowOpensLaidOutAtTheDpiOfTheMonitorItOpensOn) {
  const long right = GetSystemMetrics(SM_CXSCREEN) + 100;
  for (const bool dpiForWindow : {false, true}) {
    SCOPED_TRACE(dpiForWindow ? "Windows 10 1607 on" : "before Windows 10 1607");
    FakeMonitors monitors(ThreeMonitors(144), FakeSystem{dpiForWindow});
    {
      Form form(Value{right, 100}), onPrimary;
      EXPECT_EQ(form.dlg->dpi(), 144u);
      EXPECT_EQ(onPrimary.dlg->dpi(), 96u);
      const RECT frame = WindowRect(H(form.dlg)), field = WindowRect(H(form.field));
      EXPECT_EQ(frame.right - frame.left, ToDevice(280, 144));
      EXPECT_EQ(field.right - field.left, ToDevice(96, 144));
      EXPECT_EQ(FontOfControl(H(form.field)).lfHeight, -MulDiv(9, 144, 72));
      // Asked for flush with the monitor's right edge at its size at 96 dpi,
      // it still lies inside the work area at 144.
      Form edge(Value{monitors[1].work.right - 280, 300});
      EXPECT_EQ(WindowRect(H(edge.dlg)).right, monitors[1].work.right);
    }
    auto crt = New<XbpCrt>({AppDesktop(), NIL, Value{right, 100}, 10, 20, "Zellen", true});
    crt->create();
    RECT client{};
    GetClientRect(H(crt), &client);
    EXPECT_EQ(FontOfControl(H(crt)).lfHeight, -MulDiv(10, 144, 72));
    EXPECT_EQ(client.bottom, 10 * ToDevice(crt->FontHeight, 144));
    crt->destroy();
    Drain();
    // shcore only where GetDpiForWindow is missing.
    EXPECT_EQ(monitors.monitorDpiCalls > 0, !dpiForWindow);
  }
  EXPECT_FALSE(dyn::MonitorDpiLoaded());
}

TEST(Scaling, TitleBarsAreAskedToScaleUnderPerMonitorV1OnlyWhileTheWindowIsMade) {
  const struct {
    FakeSystem system;
    size_t asked;  // times each top-level window asks
  } cases[] = {{{true, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE}, 1},
               {{true, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2}, 0},
               {{false, nullptr}, 0}};
  for (const auto& c : cases) {
    FakeMonitors monitors(ThreeMonitors(), c.system);
    Form form;
    auto crt = New<XbpCrt>({AppDesktop(), NIL, Value{40, 40}, 10, 20, "Zellen", true});
    crt->create();
    for (const auto& [hwnd, titleLength] : monitors.nonClientScaled) {
      EXPECT_FALSE(GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD);
      EXPECT_EQ(titleLength, 0) << "asked after WM_NCCREATE";
    }
    for (const HWND top : {H(form.dlg), H(crt)})
      EXPECT_EQ(std::ranges::count(monitors.nonClientScaled, top, &std::pair<HWND, int>::first), c.asked)
          << c.system.dpiForWindow << " " << c.asked;
    crt->destroy();
    Drain();
  }
}

TEST(Scaling, ATextWindowDraggedAcrossMonitorsAsksForWholeCellsAndKeepsTheFrameSuggested) {
  constexpr UINT kGetDpiScaledSize = 0x02E4;
  const long edge = GetSystemMetrics(SM_CXSCREEN);
  FakeMonitors monitors(ThreeMonitors(144));
  auto crt = New<XbpCrt>({AppDesktop(), NIL, Value{40, 40}, 10, 20, "Zellen", true});
  crt->create();
  const RECT first = WindowRect(H(crt));
  // Back and forth over the edge, where Windows puts the frame of the size
  // asked for half on either monitor.
  const struct {
    unsigned dpi;
    long left, top;
  } moves[] = {{144, edge - 150, 300}, {96, edge - 200, 310}, {144, edge - 150, 300}};
  for (const auto& move : moves) {
    SCOPED_TRACE(move.dpi);
    const RECT was = WindowRect(H(crt));
    SIZE size{MulDiv(was.right - was.left, move.dpi, crt->dpi()), MulDiv(was.bottom - was.top, move.dpi, crt->dpi())};
    ASSERT_TRUE(SendMessageW(H(crt), kGetDpiScaledSize, move.dpi, reinterpret_cast<LPARAM>(&size)))
        << "the window asked for no size of its own";
    RECT suggested{move.left, move.top, move.left + size.cx, move.top + size.cy};
    SendMessageW(H(crt), WM_DPICHANGED, MAKEWPARAM(move.dpi, move.dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(WindowRect(H(crt)), suggested);
    RECT client{};
    GetClientRect(H(crt), &client);
    EXPECT_EQ(client.bottom, 10 * ToDevice(crt->FontHeight, move.dpi));
    EXPECT_EQ(client.right, 20 * ToDevice(crt->FontWidth, move.dpi));
    // Back at 96 dpi at the size it had: nothing creeps.
    if (move.dpi == 96) {
      EXPECT_EQ(suggested.right - suggested.left, first.right - first.left);
    }
  }
  crt->destroy();
  Drain();
}

}  // namespace
