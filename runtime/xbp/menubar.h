// The menu bar of a dialog window. Its parent is the dialog (or the dialog's
// drawing area); create() makes it the dialog's bar, shown under the title
// as soon as the dialog exists. The window destroys the bar with itself.
#pragma once

#include "menu.h"

namespace rt {

class XbpBaseDialog;

class XbpBaseMenubar : public XbpMenuItems {
  RT_CLASS("XbpBaseMenubar", XbpBaseMenubar, XbpMenuItems)

 public:
  XbpBaseMenubar() = default;

  // Takes the bar off its window first.
  void destroy() override;

  // --- the runtime's native side -------------------------------------------
  // Sets the bar on its dialog's window when both exist.
  void attach();
  // The dialog's window is being destroyed and takes the bar with it.
  void onWindowDestroyed();

 protected:
  NativeMenu newNativeMenu() override;
  void afterCreate() override;
  void itemsChanged() override;

 private:
  std::shared_ptr<XbpBaseDialog> dialog() const;
  // Takes the bar off its window; the bar owns its native menu again.
  void detach();

  NativeWindow window_ = nullptr;  // the window the bar is set on
};

}  // namespace rt
