// Scroll bars.
#pragma once

#include <optional>

#include "window.h"

namespace rt {

// A scroll bar on its own. Its position runs from the range's minimum to its
// maximum; the scroll box shows how much of the whole one page is. The user's
// scrolling moves the position (the native bar does not move itself) and
// posts kEvScroll with mp1 {position, kind of scroll}.
class XbpBaseScrollBar : public XbpWindow {
  RT_CLASS("XbpBaseScrollBar", XbpBaseScrollBar, XbpWindow)

 public:
  static constexpr long kTypeHorizontal = 1;
  static constexpr long kTypeVertical = 2;
  // Kinds of scroll; "up" is towards the minimum (left or top).
  static constexpr long kScrollLineUp = 1;
  static constexpr long kScrollLineDown = 2;
  static constexpr long kScrollPageUp = 3;
  static constexpr long kScrollPageDown = 4;
  static constexpr long kScrollTrack = 5;     // the box is being dragged
  static constexpr long kScrollEndTrack = 6;  // the box was let go
  static constexpr long kScrollTop = 7;
  static constexpr long kScrollBottom = 8;

  XbpBaseScrollBar();
  long type = kTypeHorizontal;  // at creation
  Value scroll;    // callback of kEvScroll

  // {min, max}; a reversed range is put in order, anything but two numbers
  // changes nothing. Returns the previous range.
  Value setRange(const Value& range);
  Value range() const { return Value{min_, max_}; }
  // Positions one page covers: the size of the scroll box and the step of a
  // page scroll (0: the native box size, pages of a tenth of the range).
  // Returns the previous size.
  long setScrollBoxSize(long size);
  long scrollBoxSize() const { return page_; }

  // Without argument: the data link's value becomes the position. With a
  // number: that position, within the range; no kEvScroll either way.
  bool setData(const Args& args = {});
  bool setData(long position) { return setData(Args{Value(position)}); }
  // The position; the data link (if any) is evaluated with it.
  long getData();

  bool onScroll(int request, long position) override;
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;

 protected:
  NativeSpec nativeSpec() const override;
  const EventRoutes& routes() const override;
  void afterCreate() override;

 private:
  long clamped(double position) const;
  void showState();  // range, box and position onto the native bar
  // The box dragged with the mouse: its new place, and its end.
  void dragTo(long along);
  void endDrag();
  struct Drag {
    long grab;        // pointer's distance from the box's start
    long trackStart;  // where the box starts at the minimum
    long travel;      // pixels the box moves from the minimum to the maximum
  };
  std::optional<Drag> drag_;
  long min_ = 0;
  long max_ = 100;
  long page_ = 0;
  long position_ = 0;
};

}  // namespace rt
