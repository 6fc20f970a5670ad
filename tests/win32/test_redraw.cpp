// What a presentation space keeps for its repaints: a program that redraws
// forever does not make it grow, and a repaint still shows what was drawn.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "controls.h"
#include "support/event_loop.h"
#include "win32/native.h"

using namespace rt;
using valumat::XbpDialog;

namespace {

struct Canvas {
  std::shared_ptr<XbpDialog> dlg = New<XbpDialog>({AppDesktop(), NIL, Value{20, 20}, Value{360, 240}, NIL, false});
  WindowRef area;
  PresSpaceRef ps;
  Canvas() {
    dlg->create();
    area = dlg->drawingArea();
    area->setColorBG(0);
    dlg->show();
    ps = area->presSpace();
    guitest::Drain();
  }
  ~Canvas() { dlg->destroy(); }
  HWND hwnd() const { return guitest::H(area); }
  // The client area's pixels.
  std::vector<DWORD> pixels() const {
    RECT r{};
    GetClientRect(hwnd(), &r);
    WindowDC dc(hwnd());
    HDC mem = CreateCompatibleDC(dc.get());
    HBITMAP bitmap = CreateCompatibleBitmap(dc.get(), r.right, r.bottom);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, r.right, r.bottom, dc.get(), 0, 0, SRCCOPY);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB};
    std::vector<DWORD> out(static_cast<size_t>(r.right * r.bottom));
    SelectObject(mem, old);
    GetDIBits(mem, bitmap, 0, static_cast<UINT>(r.bottom), out.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(mem);
    return out;
  }
  // Microseconds of the fastest of `n` full repaints.
  double repaint(int n = 15) const {
    double best = 1e18;
    for (int i = 0; i < n; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      best = std::min(best, std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
  }
};

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
  return pmc.PrivateUsage;
}

TEST(RetainedDrawing, RedrawingAStatusTextForeverKeepsMemoryAndRepaintTime) {
  Canvas c;
  // A status line and a clock on its own background, once a "second".
  const auto redraw = [&c](long from, long to) {
    for (long i = from; i < to; ++i) {
      GraStringAt(c.ps, Value{10, 40}, "Bereit");
      c.ps->setAttrString({Value{NIL, 15, NIL, 2}});
      GraStringAt(c.ps, Value{10, 20}, "Sekunde " + std::to_string(100000 + i % 60));
      c.ps->setAttrString({Value{NIL, NIL, NIL, 0}});
    }
  };
  redraw(0, 100);
  const size_t kept = c.ps->recordedCount(), memory = PrivateBytes();
  const double time = c.repaint();
  redraw(100, 100000);
  const size_t memoryAfter = PrivateBytes();
  const double timeAfter = c.repaint();
  std::printf("after 100: %zu primitives, %zu KiB, repaint %.0f us; after 100000: %zu, %zu KiB, %.0f us\n", kept,
              memory / 1024, time, c.ps->recordedCount(), memoryAfter / 1024, timeAfter);
  EXPECT_EQ(c.ps->recordedCount(), kept);
  EXPECT_LE(memoryAfter, memory + memory / 10);
  EXPECT_LE(timeAfter, time * 1.1 + 100);  // scheduling noise of a shared machine
}

TEST(RetainedDrawing, OnlyWhatCannotShowAnyMoreIsDropped) {
  const Value kAt{20, 60};
  struct Case {
    const char* what;
    std::function<void(const PresSpaceRef&)> draw;
    size_t kept;
  } cases[] = {
      {"the same text again", [&](auto& ps) { GraStringAt(ps, kAt, "Text"); GraStringAt(ps, kAt, "Text"); }, 1},
      {"another text at the same place",
       [&](auto& ps) { GraStringAt(ps, kAt, "Text"); GraStringAt(ps, kAt, "Wort"); }, 2},
      {"the same text in another colour",
       [&](auto& ps) {
         GraStringAt(ps, kAt, "Text");
         ps->setColor({2});
         GraStringAt(ps, kAt, "Text");
       },
       2},
      {"a line drawn twice", [](auto& ps) { GraLine(ps, Value{1, 1}, Value{50, 50}); GraLine(ps, Value{1, 1}, Value{50, 50}); }, 1},
      {"an inverting line drawn twice",
       [](auto& ps) {
         ps->setAttrLine({Value{NIL, 4}});
         GraLine(ps, Value{1, 1}, Value{50, 50});
         GraLine(ps, Value{1, 1}, Value{50, 50});
       },
       2},
      {"a text on its own background over a shorter one",
       [&](auto& ps) {
         GraStringAt(ps, kAt, "ii");
         ps->setAttrString({Value{NIL, 15, NIL, 2}});
         GraStringAt(ps, kAt, "WWWWWWWW");
       },
       1},
      {"a text on its own background over a longer one",
       [&](auto& ps) {
         GraStringAt(ps, kAt, "WWWWWWWW");
         ps->setAttrString({Value{NIL, 15, NIL, 2}});
         GraStringAt(ps, kAt, "ii");
       },
       2},
  };
  for (const Case& k : cases) {
    Canvas c;
    k.draw(c.ps);
    EXPECT_EQ(c.ps->recordedCount(), k.kept) << k.what;
    // What the screen showed, a repaint shows again.
    const auto drawn = c.pixels();
    c.repaint(1);
    EXPECT_TRUE(drawn == c.pixels()) << k.what;
  }
}

}  // namespace
