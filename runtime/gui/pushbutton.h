// Push buttons.
#pragma once

#include <string>

#include "window.h"

namespace rt {

// Drawn by the runtime, so that the program's colours and font apply, and as
// the system's own buttons look: with visual styles in the theme's normal,
// hot (under the pointer), pressed, default and disabled states, the caption
// staying in place when pressed; classic, raised and sunk, the caption moving
// with the press.
class XbpBasePushButton : public XbpWindow {
  RT_CLASS("XbpBasePushButton", XbpBasePushButton, XbpWindow)

 public:
  XbpBasePushButton();
  std::string caption;  // "~" marks the mnemonic letter
  Value activate;       // callback on a click, a mnemonic or a posted activate event

  bool setCaption(const std::string& newCaption);
  char mnemonic() const override { return MnemonicOf(caption); }
  void onMnemonic() override;
  bool onDrawItem(const tagDRAWITEMSTRUCT& item) override;
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  void onNativeDestroyed() override;

 protected:
  NativeSpec nativeSpec() const override;
  const EventRoutes& routes() const override;
  // Enter on the focused button presses it, as in dialogs.
  void afterEvent(long event, const Value& mp1, const Value& mp2) override;

 private:
  // The button's theme, opened at its first paint and kept until the theme
  // changes or the button goes; nullptr when it draws classic.
  NativeTheme theme();
  void forgetTheme();

  OwnedTheme theme_;
  bool themeAsked_ = false;
  bool hot_ = false;  // the pointer is over the button
};

}  // namespace rt
