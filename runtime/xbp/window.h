// The window base of every window and control of the runtime. The kinds have
// a header each beside this one, under their base names; application code
// creates them through the public classes (controls/), which derive from
// them. Positions are pixels of the lower-left corner, measured from the
// parent's lower-left corner with y upwards; sizes are {width, height}.
#pragma once

#include <memory>
#include <string>

#include "../value.h"
#include "prespace.h"

namespace rt {

class XbpWindow;
using WindowRef = std::shared_ptr<XbpWindow>;

// Presentation parameter identifiers given at construction.
inline constexpr long kPPForeground = 2;
inline constexpr long kPPBackground = 4;
inline constexpr long kPPCompoundName = 15;

// Creates an object and runs its initialiser with the construction arguments,
// the way the runtime's `new` does.
template <class T>
std::shared_ptr<T> New(const Args& args = {}) {
  auto object = std::make_shared<T>();
  object->init(args);
  return object;
}

class XbpWindow : public Object {
  RT_CLASS_INFO("XbpWindow", nullptr)

 public:
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
  bool setPos(const Value& pos);
  bool setSize(const Value& size);
  bool setPosAndSize(const Value& pos, const Value& size);
  WindowRef setParent() const { return parent_; }
  WindowRef setOwner() const { return owner_; }

  // Colours: palette 0..15, negative system colours, RGB values (bit 24 set).
  bool setColorBG(long color);
  bool setColorFG(long color);
  bool setFontCompoundName(const std::string& name);
  std::string fontCompoundName() const;

  // The window's presentation space, created on first use.
  PresSpaceRef presSpace();
  // The presentation space with a device context for drawing; give it back
  // with unlockPS. Taken and given back in pairs.
  PresSpaceRef lockPS();
  bool unlockPS(const PresSpaceRef& ps);

  // Processes one event from the queue: runs the callbacks the event stands for.
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

  // The native window handle (HWND) for the runtime's own Win32 code.
  void* nativeHandle() const { return handle_; }
  // Colours and font in force, inherited from the parent where not set.
  unsigned long resolvedBackground() const;  // COLORREF
  unsigned long resolvedForeground() const;
  void* resolvedFont() const;  // HFONT
  // Brush of the background in force (HBRUSH), owned by this window.
  void* backgroundBrush();

  // Native message processing; returns true when the message was consumed.
  // Called for own window classes and subclassed standard controls alike.
  virtual bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result);
  // Messages a parent reflects to the control they concern (WM_COMMAND,
  // WM_CTLCOLOR*, WM_DRAWITEM, WM_NOTIFY); `msg` is the original message.
  virtual bool onReflected(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result);
  // Called once when the native window is gone.
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
  // After the native window exists, before it is shown.
  virtual void afterCreate() {}
  // Default processing of a key after the keyboard callback ran.
  virtual void defaultKeyboard(long key);
  // Native parent window for children of this window.
  virtual void* childParentHandle() const { return handle_; }
  // Height of the area in which children are positioned (parent's client).
  virtual long childAreaHeight() const;
  long parentAreaHeight() const;
  void applyFont();
  void invalidate();
  // Draws what was drawn into the presentation space again (HDC).
  void replayDrawing(void* dc);
  Value callBlock(const Value& block, const Value& mp1, const Value& mp2);

  WindowRef parent_;
  WindowRef owner_;
  Value pos_;
  Value size_;
  Value bg_;    // colour number or NIL
  Value fg_;    // colour number or NIL
  std::string font_;  // compound name, empty = inherit
  void* handle_ = nullptr;
  void* brush_ = nullptr;  // HBRUSH of the background, owned
  unsigned long brushColor_ = 0;
  PresSpaceRef presSpace_;
  int locks_ = 0;
  bool subclassed_ = false;  // a standard control under our subclass procedure

 private:
  friend struct WindowAccess;
  void releaseBrush();
};

// The desktop: parent of top-level windows; its size is the screen size.
class XbpDesktop : public XbpWindow {
  RT_CLASS_INFO("XbpIWindow", &XbpWindow::StaticClassInfo())

 public:
  XbpDesktop();
  void create(const Args& = {}) override {}
  void destroy() override {}
  NativeSpec nativeSpec() const override { return {}; }
  long childAreaHeight() const override;
  Value currentSize() const override;
};

// The client area of a dialog, parent of its controls.
class XbpDrawingArea : public XbpWindow {
  RT_CLASS_INFO("XbpIWindow", &XbpWindow::StaticClassInfo())

 public:
  NativeSpec nativeSpec() const override;
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
};

// The desktop window object.
WindowRef AppDesktop();
// The application window; the desktop until the program sets another.
WindowRef SetAppWindow();
WindowRef SetAppWindow(const WindowRef& window);
// The object with the input focus (nullptr when none of ours has it).
WindowRef SetAppFocus();
// Gives `window` the input focus; returns the object that had it.
WindowRef SetAppFocus(const WindowRef& window);

}  // namespace rt
