// Presentation spaces: drawing attributes and primitives for a window, in the
// window's own coordinates (origin at its lower-left corner, y upwards).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../classes.h"
#include "../value.h"
#include "../win32/handle.h"

namespace rt {

class XbpWindow;

// Attribute bundles; an entry left NIL in an attribute array leaves that
// attribute unchanged. Layouts (1-based):
//   line   {colour, mix mode, width, line type}
//   area   {colour, back colour, mix mode, back mix mode, pattern}
//   marker {colour, back colour, mix mode, back mix mode, symbol, box {w, h}}
//   string {colour, back colour, mix mode, back mix mode, character box {w, h},
//           angle {x, y}, shear {x, y}, direction, horizontal alignment,
//           vertical alignment, extra, break extra}
inline constexpr size_t kLineAttrCount = 4;
inline constexpr size_t kAreaAttrCount = 5;
inline constexpr size_t kMarkerAttrCount = 6;
inline constexpr size_t kStringAttrCount = 12;

// Segment drawing modes.
inline constexpr long kDrawModeDraw = 1;
inline constexpr long kDrawModeRetain = 2;
inline constexpr long kDrawModeDrawAndRetain = 3;

// lockHDC mode: a device context of the window's client area for drawing text
// with native calls (the only mode there is).
inline constexpr long kLockHdcText = 4;

class XbpBasePresSpace : public Object {
  RT_CLASS("XbpBasePresSpace", XbpBasePresSpace, void)

 public:
  static ClassObject& InitClass(ClassObject& cls, const Args&) { return cls; }
  XbpBasePresSpace();
  ~XbpBasePresSpace() override;

  // Construction takes no arguments; a space made with New draws on the
  // screen until create binds it to a window.
  virtual void init(const Args&) {}
  // create({oWindow}): the space draws on that window and becomes its
  // presentation space, so what it draws and retains is repainted with it.
  // Without a window it stays on the screen. Returns the space.
  virtual Value create(const Args& args);

  // Attribute methods: each takes its arguments as given (their count
  // matters) and returns the previous setting.
  // setColor(): the current {foreground, background}; setColor(fg) or
  // setColor(fg, bg) set the colour of every attribute bundle.
  virtual Value setColor(const Args& args);
  virtual Value setAttrLine(const Args& args);
  virtual Value setAttrArea(const Args& args);
  virtual Value setAttrMarker(const Args& args);
  virtual Value setAttrString(const Args& args);
  // A compound font name; without argument the current one.
  virtual Value setFont(const Args& args);
  virtual Value drawMode(const Args& args);
  // Two corner points; draws (or, drawn twice, removes) a focus rectangle.
  virtual Value drawFocusRect(const Args& args);
  virtual Value lastError(const Args& args);

  // Primitives; false when nothing could be drawn.
  bool line(const Value& from, const Value& to);
  bool stringAt(const Value& at, const std::string& text);
  // Corners of the text's box relative to its start point: upper left, lower
  // left, upper right, lower right, and the start point of following text.
  Value queryTextBox(const std::string& text);

  // Native drawing calls. lockHDC(kLockHdcText, hdc) lends a device context of
  // the bound window's client area, with the space's font, string colour and
  // back mix mode selected, so that a native text call draws as the space
  // would: it stores the handle (a number) into `hdc` and returns a lock
  // token (a number, never 0). 0, and `hdc` untouched, when no context can
  // be had: another mode, no window bound (the screen is not lent), the
  // window not created, or not the window's thread. UnlockHDC gives it back
  // with the context's state as it was lent; only the pair that lockHDC
  // gave counts, and only once (false otherwise).
  virtual Value lockHDC(long mode, Value& hdc);
  virtual bool UnlockHDC(const Value& token, const Value& hdc);
  // A point {x, y} of this space. `toDevice` true: to device pixels (x to
  // the right, y downwards), false: from device pixels back into the
  // space. `client` true: device pixels of the window's client area, as a
  // lent context uses them; false: of the screen. Coordinates are rounded
  // to pixels (see Pixels); NIL for a point that is not two numbers, or
  // screen pixels of a window not created. An unbound space's device is the
  // screen.
  virtual Value MapPoint(const Value& point, bool toDevice = true, bool client = true) const;
  // Retains text that a native call drew with DT_* `format` into the
  // rectangle of the corners `from` and `to` (space coordinates, left from
  // `from`, right from `to`), with the attributes in force, so that every
  // repaint draws it again the same way. `text` is the bytes the call got
  // (ANSI code page). Not in draw-only mode.
  void retainText(const Value& from, const Value& to, const std::string& text, long format);

  // The window drawn into (nullptr for the screen).
  std::shared_ptr<XbpWindow> window() const { return window_.lock(); }
  bool isLocked() const { return dc_ != nullptr; }

  // Runtime side: binding, locking and repainting.
  void bind(const std::shared_ptr<XbpWindow>& window);
  void attachDC(NativeDC dc) { dc_ = dc; }
  NativeDC detachDC();
  // Draws everything recorded into `dc` after the window painted itself.
  void replay(NativeDC dc);
  bool hasRecording() const { return !recording_.empty(); }

  struct Attributes {
    Value line = NewArray(kLineAttrCount);
    Value area = NewArray(kAreaAttrCount);
    Value marker = NewArray(kMarkerAttrCount);
    Value string = NewArray(kStringAttrCount);
    std::string font;
  };
  struct Primitive {
    enum Kind { kLine, kString, kFocusRect, kFormattedText } kind;
    long x1, y1, x2, y2;
    std::string text;
    Attributes attributes;
    long format = 0;  // kFormattedText: the native call's DT_* flags
    // Where it may draw, in space coordinates, both edges inside; worked out
    // when first needed. Unbounded when that cannot be told. A string on its
    // own background also fills every pixel of its cells.
    struct Box {
      long left = 0, bottom = 0, right = 0, top = 0;
      long fillLeft = 0, fillBottom = 0, fillRight = -1, fillTop = -1;
      bool known = false, bounded = false;
    };
    mutable Box box;
  };
  // How many primitives the space keeps for its repaints.
  size_t recordedCount() const { return recording_.size(); }

 private:
  bool draw(const Primitive& primitive);
  // Keeps `primitive` for repaints, dropping what it makes invisible.
  void record(Primitive primitive);
  const Primitive::Box& boxOf(const Primitive& primitive) const;
  Value setBundle(Value& bundle, const Args& args);
  long deviceHeight() const;
  struct HdcLock;
  // Releases the context of one lock, its state restored.
  static void release(HdcLock& lock);

  std::weak_ptr<XbpWindow> window_;
  NativeDC dc_ = nullptr;
  Attributes attributes_;
  Value drawMode_ = kDrawModeDrawAndRetain;
  long lastError_ = 0;
  std::vector<Primitive> recording_;
  std::map<long, std::unique_ptr<HdcLock>> hdcLocks_;  // by token
};

using PresSpaceRef = std::shared_ptr<XbpBasePresSpace>;

// Drawing primitives on a presentation space.
bool GraLine(const PresSpaceRef& ps, const Value& from, const Value& to);
bool GraStringAt(const PresSpaceRef& ps, const Value& at, const std::string& text);
Value GraQueryTextBox(const PresSpaceRef& ps, const std::string& text);

}  // namespace rt
