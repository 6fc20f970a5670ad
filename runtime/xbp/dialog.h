// Dialog windows: a frame with title, icon and close button, and a drawing
// area that is the parent of its controls.
#pragma once

#include <string>

#include "window.h"

namespace rt {

class XbpBaseDialog : public XbpWindow {
  RT_CLASS_INFO("XbpBaseDialog", &XbpWindow::StaticClassInfo())

 public:
  XbpBaseDialog();
  WindowRef drawingArea() const { return drawingArea_; }
  bool setTitle(const std::string& title);
  Value handleEvent(long code, const Value& mp1, const Value& mp2) override;

  std::string title;
  Value icon;  // resource number
  bool taskList = false;
  bool sysMenu = true;
  bool minButton = true;
  bool maxButton = false;
  Value close;  // callback for the close button

  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  void onNativeDestroyed() override;

 protected:
  NativeSpec nativeSpec() const override;
  void afterCreate() override;
  void* childParentHandle() const override;

 private:
  std::shared_ptr<XbpDrawingArea> drawingArea_;
  void* iconBig_ = nullptr;
  void* iconSmall_ = nullptr;
  void* lastFocus_ = nullptr;  // child focused when the window was deactivated
};

}  // namespace rt
