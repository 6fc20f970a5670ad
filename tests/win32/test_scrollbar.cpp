// Scroll bars: the standard scroll bar control clicked, dragged and keyed as
// a user does, read back through Win32 and through the runtime.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>

#include "dialog.h"
#include "events.h"
#include "scrollbar.h"
#include "support/every_kind.h"
#include "support/heard.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;
using valumat::XbpScrollBar;
using Bar = rt::XbpBaseScrollBar;

namespace {

// A shown dialog with a vertical scroll bar 20 x 200 over 0..100.
struct Slider : Form {
  std::shared_ptr<XbpScrollBar> bar;
  std::vector<P> scrolls;  // {position, kind} of each kEvScroll's callback

  explicit Slider(const std::function<void(XbpScrollBar&)>& setUp = {}, const Value& presentation = Value())
      : Form(Value{300, 280}) {
    bar = add<XbpScrollBar>(Value{20, 20}, Value{20, 200}, [&](XbpScrollBar& b) {
      b.type = Bar::kTypeVertical;
      if (setUp) setUp(b);
    }, presentation);
    bar->scroll = [this](const Args& a) -> Value {
      EXPECT_EQ(Arg(a, 3).object(), bar);
      scrolls.push_back(Pair(Arg(a, 1)));
      return NIL;
    };
    show(bar);
  }
  HWND hwnd() const { return H(bar); }
  SCROLLINFO info() const {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(hwnd(), SB_CTL, &si);
    return si;
  }
  // The mouse pressed at one point of the bar and let go at another, with
  // a move in between.
  void drag(POINT from, POINT to) const {
    PostMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    PostMessageW(hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    PostMessageW(hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    Drain();
  }
  void click(POINT at) const { drag(at, at); }
  // Middle of the scroll box, in the bar's client coordinates.
  POINT thumb() const {
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    GetScrollBarInfo(hwnd(), OBJID_CLIENT, &sbi);
    return {10, (sbi.xyThumbTop + sbi.xyThumbBottom) / 2};
  }
  void key(WPARAM vk) const {
    PostMessageW(hwnd(), WM_KEYDOWN, vk, 1);
    PostMessageW(hwnd(), WM_KEYUP, vk, 0xC0000001);
    Drain();
  }
};

}  // namespace

TEST(ScrollBar, RangeBoxSizeAndPositionReachTheNativeBar) {
  long linked = 0;
  Slider slider([&](XbpScrollBar& b) {
    b.setRange(Value{10, 60});
    EXPECT_EQ(b.setScrollBoxSize(5), 0);
    b.setData(20);  // before the bar exists
    b.dataLink = [&](const Args& a) -> Value {
      if (PCount(a) == 0) return 33;
      linked = Arg(a, 1).integer();
      return NIL;
    };
  });
  SCROLLINFO si = slider.info();
  EXPECT_EQ(si.nMin, 10);
  EXPECT_EQ(si.nMax, 64);  // every position up to 60 is reachable with a box of 5
  EXPECT_EQ(si.nPage, 5u);
  EXPECT_EQ(si.nPos, 20);
  EXPECT_TRUE(GetWindowLongPtrW(slider.hwnd(), GWL_STYLE) & SBS_VERT);

  slider.bar->setData(999);
  EXPECT_EQ(slider.info().nPos, 60);
  EXPECT_EQ(slider.bar->getData(), 60);
  EXPECT_EQ(linked, 60);
  slider.bar->setData();
  EXPECT_EQ(slider.info().nPos, 33);
  EXPECT_FALSE(slider.bar->setData(Args{Value("40")}));
  EXPECT_EQ(slider.info().nPos, 33);

  // A reversed range is put in order; the position stays within it.
  EXPECT_EQ(Pair(slider.bar->setRange(Value{30, 0})), P(10, 60));
  EXPECT_EQ(Pair(slider.bar->range()), P(0, 30));
  si = slider.info();
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 34);
  EXPECT_EQ(si.nPos, 30);
  EXPECT_EQ(slider.bar->getData(), 30);

  // What is no range leaves range and position as they are.
  for (const Value& wrong : {Value(), Value{5}, Value{Value(), 10}, Value{"0", "9"}}) {
    EXPECT_EQ(Pair(slider.bar->setRange(wrong)), P(0, 30));
    EXPECT_EQ(Pair(slider.bar->range()), P(0, 30));
    EXPECT_EQ(slider.info().nMax, 34);
    EXPECT_EQ(slider.bar->getData(), 30);
  }

  // Changes by the program post no scroll event.
  Drain();
  EXPECT_TRUE(slider.scrolls.empty());
}

TEST(ScrollBar, ClicksOnArrowsAndTrackScrollByLinesAndPages) {
  Slider slider([](XbpScrollBar& b) {
    b.setRange(Value{0, 100});
    b.setScrollBoxSize(25);
  });
  const int arrow = GetSystemMetrics(SM_CYVSCROLL);
  slider.click({10, 200 - arrow / 2});  // lower arrow
  slider.click({10, 200 - arrow / 2});
  EXPECT_EQ(slider.bar->getData(), 2);
  EXPECT_EQ(slider.info().nPos, 2);
  slider.click({10, 200 - arrow - 4});  // the track below the box
  EXPECT_EQ(slider.bar->getData(), 27);
  slider.click({10, arrow / 2});  // upper arrow
  EXPECT_EQ(slider.info().nPos, 26);
  slider.click({10, arrow + 2});  // the track above the box
  slider.click({10, arrow / 2});  // at the top: reported all the same
  EXPECT_EQ(slider.scrolls, (std::vector<P>{{1, Bar::kScrollLineDown},
                                            {2, Bar::kScrollLineDown},
                                            {27, Bar::kScrollPageDown},
                                            {26, Bar::kScrollLineUp},
                                            {1, Bar::kScrollPageUp},
                                            {0, Bar::kScrollLineUp}}));
}

TEST(ScrollBar, DraggingTheBoxReportsEveryStepWithItsFullPosition) {
  // Past 32767 the position the message carries would overflow.
  Slider slider([](XbpScrollBar& b) { b.setRange(Value{0, 100000}); });
  const POINT from = slider.thumb();
  slider.drag(from, {from.x, 100});
  ASSERT_GE(slider.scrolls.size(), 2u);
  const P last = slider.scrolls.back();
  EXPECT_EQ(last.second, Bar::kScrollEndTrack);
  EXPECT_GT(last.first, 32767);
  EXPECT_LT(last.first, 100000);
  for (size_t i = 0; i + 1 < slider.scrolls.size(); ++i) EXPECT_EQ(slider.scrolls[i].second, Bar::kScrollTrack);
  EXPECT_EQ(slider.scrolls[slider.scrolls.size() - 2].first, last.first);
  EXPECT_EQ(slider.bar->getData(), last.first);
  EXPECT_EQ(slider.info().nPos, last.first);
}

TEST(ScrollBar, WithTheFocusKeysScroll) {
  Slider slider([](XbpScrollBar& b) {
    b.setRange(Value{0, 50});
    b.setScrollBoxSize(10);
  });
  ASSERT_EQ(GetFocus(), slider.hwnd());
  Heard keys;
  slider.bar->keyboard = keys.block();
  slider.key(VK_DOWN);
  slider.key(VK_NEXT);
  slider.key(VK_END);
  slider.key(VK_UP);
  slider.key(VK_HOME);
  EXPECT_EQ(slider.scrolls, (std::vector<P>{{1, Bar::kScrollLineDown},
                                            {11, Bar::kScrollPageDown},
                                            {50, Bar::kScrollBottom},
                                            {49, Bar::kScrollLineUp},
                                            {0, Bar::kScrollTop}}));
  EXPECT_EQ(keys.numbers(), (std::vector<long>{kKeyDown, kKeyPgDn, kKeyEnd, kKeyUp, kKeyHome}));
  EXPECT_EQ(slider.info().nPos, 0);
}

TEST(ScrollBar, HorizontalBarsScrollLeftAndRight) {
  Form form(Value{300, 120});
  auto bar = form.add<XbpScrollBar>(Value{10, 10}, Value{200, 20}, [](XbpScrollBar& b) { b.setRange(Value{-5, 5}); });
  EXPECT_EQ(bar->type, Bar::kTypeHorizontal);
  EXPECT_FALSE(GetWindowLongPtrW(H(bar), GWL_STYLE) & SBS_VERT);
  EXPECT_EQ(bar->getData(), 0);
  std::vector<P> scrolls;
  bar->scroll = [&](const Args& a) -> Value {
    scrolls.push_back(Pair(Arg(a, 1)));
    return NIL;
  };
  form.show(bar);
  PostMessageW(H(bar), WM_KEYDOWN, VK_RIGHT, 1);
  PostMessageW(H(bar), WM_KEYDOWN, VK_LEFT, 1);
  PostMessageW(H(bar), WM_KEYDOWN, VK_LEFT, 1);
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  PostMessageW(H(bar), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(arrow / 2, 10));
  PostMessageW(H(bar), WM_LBUTTONUP, 0, MAKELPARAM(arrow / 2, 10));
  Drain();
  EXPECT_EQ(scrolls, (std::vector<P>{{1, Bar::kScrollLineDown},
                                     {0, Bar::kScrollLineUp},
                                     {-1, Bar::kScrollLineUp},
                                     {-2, Bar::kScrollLineUp}}));
}

TEST(ScrollBar, PresentationBackgroundColoursTheTrack) {
  const COLORREF bg = RGB(255, 0, 255);
  Slider slider({}, Value{Value{kPPBackground, static_cast<long>(bg | 0x1000000)}});
  HDC dc = GetDC(slider.hwnd());
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(slider.hwnd()), WM_CTLCOLORSCROLLBAR,
                                                           reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(slider.hwnd())));
  ReleaseDC(slider.hwnd(), dc);
  LOGBRUSH lb{};
  ASSERT_TRUE(GetObjectW(brush, sizeof lb, &lb));
  EXPECT_EQ(lb.lbColor, bg);
}

TEST(ScrollBar, DestroyDropsCallbacksAndGivesBackHandles) {
  std::shared_ptr<XbpScrollBar> gone;
  EXPECT_EQ(HandlesLeftBy([&] {
              Slider slider({}, Value{Value{kPPBackground, 12}});
              slider.bar->dataLink = [](const Args&) -> Value { return NIL; };
              slider.key(VK_DOWN);
              RedrawWindow(slider.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
              slider.bar->destroy();
              gone = slider.bar;
            }),
            0);
  EXPECT_FALSE(gone->isCreated());
  EXPECT_TRUE(gone->scroll.isNil());
  EXPECT_TRUE(gone->dataLink.isNil());
  EXPECT_EQ(gone->getData(), 1);
}

// A scroll bar shows no text: it has colours, but no font.
template <>
struct ControlKind<valumat::XbpScrollBar> : ControlKind<valumat::XbpStatic> {
  static constexpr bool kShowsText = false;
  static std::shared_ptr<valumat::XbpScrollBar> make(const rt::WindowRef& parent) {
    auto bar = rt::New<valumat::XbpScrollBar>({parent, rt::NIL, rt::Value{20, 20}, rt::Value{160, 20}, everykind::Colours()});
    bar->create();
    return bar;
  }
};
INSTANTIATE_TYPED_TEST_SUITE_P(ScrollBar, EveryKind, valumat::XbpScrollBar);
