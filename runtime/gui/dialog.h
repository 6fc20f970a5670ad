// Dialog windows: a frame with title, icon and close button, and a drawing
// area that is the parent of its controls.
#pragma once

#include <memory>
#include <string>

#include "window.h"

namespace rt {

class XbpBaseMenubar;

// The client area of a dialog, parent of its controls.
class XbpDrawingArea : public XbpWindow {
  RT_CLASS("XbpIWindow", XbpDrawingArea, XbpWindow)

 public:
  NativeSpec nativeSpec() const override;
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  // It fills its dialog's client area, whatever the dpi makes of that.
  void onDpiChanged() override {}
};

class XbpBaseDialog : public XbpWindow {
  RT_CLASS("XbpBaseDialog", XbpBaseDialog, XbpWindow)

 public:
  XbpBaseDialog();
  // The same area from creation to creation while anything holds it (the
  // controls on it do).
  WindowRef drawingArea() const { return drawingArea_.lock(); }
  bool setTitle(const std::string& title);
  // The window's menu bar: created on the first call, the same bar afterwards.
  std::shared_ptr<XbpBaseMenubar> menuBar();

  std::string title;
  Value icon;  // resource number, read by create; without one the program's icon
  // Read by create. True gives the window a task-bar button
  // (WS_EX_APPWINDOW). False keeps it off the task bar: Windows shows a
  // button for every unowned frame that is no tool window, so a window
  // without an owner of its own is owned by a hidden window of the runtime
  // (one per thread), which leaves the frame a normal one (a tool window
  // would get a small caption).
  bool taskList = false;
  bool sysMenu = true;
  bool minButton = true;
  bool maxButton = false;
  Value close;  // callback for the close button (event kEvClose)
  // When the window becomes active again, the focus goes back to the control
  // that had it; where that was a push button or no control, to this one
  // (if set, shown and enabled).
  std::weak_ptr<XbpWindow> focusOnActivation;

  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  void onNativeDestroyed() override;
  void onDpiChanged() override;

 protected:
  NativeSpec nativeSpec() const override;
  const EventRoutes& routes() const override;
  void afterCreate() override;

 private:
  // Window icons of the sizes the window's dpi asks for.
  void applyIcons();
  friend class XbpBaseMenubar;  // sets itself in and takes itself out
  // The control to focus when the window is active again; nullptr for none.
  NativeWindow focusOnReturn() const;
  // Weak: the area points back at its dialog.
  std::weak_ptr<XbpDrawingArea> drawingArea_;
  std::shared_ptr<XbpBaseMenubar> menuBar_;
  OwnedIcon iconBig_;
  OwnedIcon iconSmall_;
  NativeWindow lastFocus_ = nullptr;  // child focused when the window was deactivated
};

}  // namespace rt
