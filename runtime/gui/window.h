// The window base of every window and control of the runtime. The kinds have
// a header each beside this one, under their base names; application code
// creates them through the public classes (controls/), which derive from
// them. Positions are pixels of the lower-left corner, measured from the
// parent's lower-left corner with y upwards; sizes are {width, height}.
// Pixels are those of a display at 96 dpi: at any other dpi the runtime
// scales what the program gives, and answers in the program's pixels.
//
// How a control kind plugs in:
// - nativeSpec() names the native window (a class of ours, or a standard
//   control that the runtime subclasses) and its styles;
// - its parent reflects every notification about it back to it, unpacked
//   (onCommand, onNotify, onColor, onDrawItem, onScroll, ...);
// - a table of event routes ties each native notification to a runtime event
//   and to the member that holds the event's callback. The table alone makes
//   the notification post the event, handleEvent run the callback, and the
//   callback be dropped when the native window dies;
// - keepsKey() and mnemonic() say which keys the native control processes
//   itself and which "~" letter it answers with Alt.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "../classes.h"
#include "../value.h"
#include "../win32/handle.h"
#include "presentationspace.h"

struct tagNMHDR;
struct tagDRAWITEMSTRUCT;
struct tagMEASUREITEMSTRUCT;
struct tagDELETEITEMSTRUCT;
struct tagCOMPAREITEMSTRUCT;

namespace rt {

class XbpWindow;
using WindowRef = std::shared_ptr<XbpWindow>;

// Presentation parameter identifiers given at construction.
inline constexpr long kPPForeground = 2;
inline constexpr long kPPBackground = 4;
inline constexpr long kPPCompoundName = 15;

// Positions and sizes may be fractional (a centred control lands on half
// pixels). They become pixels by one rule everywhere, rounding half away from
// zero: 100.5 -> 101, -0.5 -> -1.
long Pixels(const Value& v);

// One row of a class's event table: where the event comes from, the runtime
// event it becomes, and the member holding its callback (called with mp1,
// mp2 and the object).
struct EventRoute {
  enum class From : uint8_t {
    Posted,   // posted by the control's own code (keys, focus, scrolling)
    Command,  // a WM_COMMAND notification code
    Notify,   // a WM_NOTIFY notification code
  };
  From from;
  unsigned notification;  // the code for Command and Notify; 0 for Posted
  long event;
  Value XbpWindow::*callback;
};

// A class's table; the base class's table is searched after its own rows.
struct EventRoutes {
  const EventRoutes* base;
  std::span<const EventRoute> rows;
};

class XbpWindow : public Object {
  RT_CLASS("XbpWindow", XbpWindow, void)

 public:
  // The class-level initialiser that setting a class up runs once.
  static ClassObject& InitClass(ClassObject& cls, const Args&) { return cls; }

  XbpWindow();
  ~XbpWindow() override;
  XbpWindow(const XbpWindow&) = delete;
  XbpWindow& operator=(const XbpWindow&) = delete;

  // Construction arguments: parent, owner, position, size, presentation
  // parameters, visibility. Missing or NIL ones keep the class's defaults.
  virtual void init(const Args& args);
  // Creates the native window. Arguments given here replace those of init.
  virtual void create(const Args& args = {});
  virtual void destroy();
  bool isCreated() const { return handle_ != nullptr; }

  bool show();
  bool hide();
  bool isVisible() const;
  bool isEnabled() const;
  bool enable();
  bool disable();

  Value currentPos() const;
  virtual Value currentSize() const;
  // Positions and sizes are {x, y} and {width, height} of numbers (see
  // Pixels); anything else is refused with false and moves nothing.
  bool setPos(const Value& pos);
  bool setSize(const Value& size);
  bool setPosAndSize(const Value& pos, const Value& size);
  WindowRef setParent() const { return parent_; }
  WindowRef setOwner() const { return owner_; }

  // 2: the window becomes modal over its owner, whose native window is
  // disabled; 1: modeless again, the owner enabled. Without an owner that
  // has a native window (none, the desktop) nothing changes. The owner is
  // enabled again also when this window is already gone. False for other
  // states.
  bool setModalState(long state);
  // `point` in this window's coordinates (from the lower-left corner of the
  // area its children are placed in, y up) in those of `destination`.
  // Fractions are kept. NIL when either window has no native window (the
  // desktop always has one).
  Value mapPoint(const WindowRef& destination, const Value& point) const;

  // Colours: palette 0..15, negative system colours, RGB values (bit 24 set).
  bool setColorBG(long color);
  bool setColorFG(long color);
  bool setFontCompoundName(const std::string& name);
  std::string fontCompoundName() const;

  // The window's presentation space, created on first use.
  PresSpaceRef presSpace();
  // Makes `ps` the window's presentation space (bound to the window); returns
  // the previous one. Not while the space is locked.
  PresSpaceRef presSpace(const PresSpaceRef& ps);
  // The presentation space with a device context for drawing; give it back
  // with unlockPS. Taken and given back in pairs.
  PresSpaceRef lockPS();
  bool unlockPS(const PresSpaceRef& ps);

  // Processes one event from the queue: runs the callback its route names,
  // then the window's default processing of the event.
  Value handleEvent(long code, const Value& mp1, const Value& mp2) override;

  // Members.
  bool clipSiblings = false;
  bool clipChildren = false;
  bool tabStop = false;
  bool visible = true;  // visibility at creation
  Value cargo;
  // Callbacks, each called with (mp1, mp2, this object).
  Value keyboard;
  Value killInputFocus;
  Value setInputFocus;
  // Kinds that hold a value: without argument the link yields the value that
  // setData() takes; getData hands the value it read to the link.
  Value dataLink;

  // The name screen readers announce for the window. Without one of its own
  // a control is named as a sighted user reads it: by its caption, or by the
  // text label that stands right before it in the tab order. Setting returns
  // the previous name; "" gives the control back to those rules.
  std::string accessibleName() const { return accessibleName_; }
  std::string accessibleName(const std::string& name);

  // --- the runtime's native side -------------------------------------------
  NativeWindow nativeHandle() const { return handle_; }
  // The dpi the window shows at: a top-level window's own (its monitor's), a
  // child's that of the window it lies in.
  unsigned dpi() const;
  // The window's top-level window has moved to a monitor of another dpi
  // (parents are told before their children): the window takes its place and
  // size from the program's values again, at the new dpi. Kinds with
  // pictures or cells of their own make them anew.
  virtual void onDpiChanged();
  // Colours (COLORREF) and font in force, inherited from the parent where
  // not set.
  unsigned long resolvedBackground() const;
  unsigned long resolvedForeground() const;
  NativeFont resolvedFont() const;
  // Brush of the background in force, owned by this window.
  NativeBrush backgroundBrush();

  // A message to this window; true when consumed, with its `result`. The
  // runtime's one window procedure calls it for own window classes and
  // subclassed standard controls alike.
  virtual bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result);

  // Notifications about this control that its parent received, unpacked.
  // Each answers whether it handled the notification; unhandled ones get the
  // parent's default processing.
  virtual bool onCommand(unsigned code);
  virtual bool onNotify(const tagNMHDR& header, intptr_t& result);
  // WM_CTLCOLOR*: sets text and back colour into `dc` and answers the
  // background brush (nullptr: default colours).
  virtual NativeBrush onColor(NativeDC dc);
  virtual bool onDrawItem(const tagDRAWITEMSTRUCT& item);
  virtual bool onMeasureItem(tagMEASUREITEMSTRUCT& item);
  virtual bool onDeleteItem(const tagDELETEITEMSTRUCT& item);
  // -1, 0 or 1 as the first item sorts before, with or after the second.
  virtual int onCompareItem(const tagCOMPAREITEMSTRUCT& item);
  // WM_HSCROLL/WM_VSCROLL: the scroll request (SB_*) and the position that
  // comes with it.
  virtual bool onScroll(int request, long position);
  // WM_VKEYTOITEM/WM_CHARTOITEM: the key (virtual key or character) and the
  // caret item; answers -1 for the default action, -2 when done, or the
  // index of the item to go to.
  virtual int onKeyToItem(unsigned key, int caret, bool character);

  // Keys: whether the native control processes `key` (a runtime key code)
  // itself. Keys it does not keep reach only the keyboard callback and the
  // default processing (Tab and Shift+Tab move the focus).
  virtual bool keepsKey(long key) const;
  // The "~" letter of the control's caption, upper-cased; 0 for none.
  virtual char mnemonic() const { return 0; }
  // The control that answers Alt with `letter` (upper-cased) when the user
  // presses it over this visible control: this one for its own mnemonic. A
  // control may answer for what it shows of others (the tabs of hidden pages).
  virtual XbpWindow* mnemonicTarget(char letter) { return letter && mnemonic() == letter ? this : nullptr; }
  // The user pressed Alt with the mnemonic letter: the control takes the
  // focus; buttons also press themselves.
  virtual void onMnemonic();

  // Drops from any program. A window that acceptsDrops() is a drop target:
  // when a drag comes over it the runtime asks DragEnter (1: a drop would be
  // taken, the copy cursor shows; anything else refuses), when the drag is
  // released over it DragDrop (1: taken). The first argument is unused, the
  // second is the DragData.
  virtual bool acceptsDrops() const { return false; }
  virtual Value DragEnter(const Value& state, const Value& data);
  virtual Value DragDrop(const Value& state, const Value& data);
  // The user changed what the window holds in a way its native control does
  // not report (a drop it took): the window reports it as the user's change.
  virtual void userChanged() {}

  // Called once when the native window is gone: drops every routed callback
  // (closures may hold the window itself) and what the window owned.
  virtual void onNativeDestroyed();

 protected:
  struct NativeSpec {
    const wchar_t* windowClass = nullptr;
    unsigned long style = 0;
    unsigned long exStyle = 0;
    std::wstring text;
    bool subclass = false;  // a standard control: subclass instead of own class
  };
  // What to create; called by create().
  virtual NativeSpec nativeSpec() const = 0;
  // Before the native window is made, after its arguments are taken: a kind
  // that sizes itself to its content does so here, so that the window is
  // made at its final size.
  virtual void beforeCreate() {}
  // After the native window exists, before it is shown.
  virtual void afterCreate() {}

  // The class's event table. A class with events of its own returns a static
  // table whose base is its base class's routes().
  virtual const EventRoutes& routes() const;
  // The value setData takes: the one given, or the data link's without one.
  Value dataGiven(const Args& args) const;
  // getData hands the value it read to the data link.
  void handToLink(const Value& value) const;
  // The parameters an event posted from a notification carries (default NIL).
  virtual void eventParams(long event, Value& mp1, Value& mp2);
  // The default processing of an event, after its callback ran.
  virtual void afterEvent(long event, const Value& mp1, const Value& mp2);
  // Posts `event` to this object.
  void post(long event, const Value& mp1 = Value(), const Value& mp2 = Value());
  // Posts the event a notification is routed to; false when no route.
  bool postRouted(EventRoute::From from, unsigned notification);
  // The native window procedure behind ours: the standard control's own, or
  // the default one.
  intptr_t callNative(unsigned msg, uintptr_t wparam, intptr_t lparam);

  // Entry fields and lists show their surface in the system's window colours
  // unless given colours of their own; other windows take their parent's.
  virtual bool hasFieldColours() const { return false; }
  // Native parent window for children of this window.
  virtual NativeWindow childParentHandle() const { return handle_; }
  // Height of the area in which children are positioned (parent's client).
  virtual long childAreaHeight() const;
  long parentAreaHeight() const;
  // Puts the native window where pos_ and size_ say, at the window's dpi.
  bool placeNative();
  // Sets the resolved font, and refreshes the children that follow it.
  void applyFont(bool children = true);
  void invalidate();
  // Draws what was drawn into the presentation space again.
  void replayDrawing(NativeDC dc);
  Value callBlock(const Value& block, const Value& mp1, const Value& mp2);

  WindowRef parent_;
  WindowRef owner_;
  Value pos_;
  Value size_;
  Value bg_;    // colour number or NIL
  Value fg_;    // colour number or NIL
  std::string font_;  // compound name, empty = inherit
  NativeWindow handle_ = nullptr;
  PresSpaceRef presSpace_;
  unsigned dpi_ = 0;  // of a top-level window; 0 before it is made
  int locks_ = 0;
  bool subclassed_ = false;  // a standard control under our window procedure

 private:
  friend struct WindowAccess;
  bool handleKey(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result);
  // WM_DPICHANGED: the new dpi and the frame Windows suggests for it.
  void changeDpi(unsigned dpi, long left, long top, long right, long bottom);
  void releaseLockedDC();
  NativeWindow lockedFrom_ = nullptr;  // whose device context the locked space holds
  std::string accessibleName_;
  OwnedBrush brush_;
  unsigned long brushColor_ = 0;
};

// The member pointer of a class's callback as a table row holds it.
template <class C>
constexpr Value XbpWindow::*CallbackOf(Value C::*member) {
  return static_cast<Value XbpWindow::*>(member);
}

// The "~" marked letter of a caption, upper-cased; 0 when there is none.
char MnemonicOf(std::string_view caption);

// The desktop: parent of top-level windows; its size is the screen size.
class XbpDesktop : public XbpWindow {
  RT_CLASS("XbpIWindow", XbpDesktop, XbpWindow)

 public:
  XbpDesktop();
  void create(const Args& = {}) override {}
  void destroy() override {}
  NativeSpec nativeSpec() const override { return {}; }
  long childAreaHeight() const override;
  Value currentSize() const override;
};

// The desktop window object.
WindowRef AppDesktop();
// The application window; the desktop until the program sets another.
WindowRef SetAppWindow();
WindowRef SetAppWindow(const WindowRef& window);
// The object with the input focus (nullptr when none of ours has it).
WindowRef SetAppFocus();
// Gives `window` the input focus; returns the object that had it. With
// nullptr, or a window without a native window, the focus stays where it is.
WindowRef SetAppFocus(const WindowRef& window);

}  // namespace rt
