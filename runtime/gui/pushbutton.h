// Push buttons.
#pragma once

#include <string>

#include "window.h"

namespace rt {

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

 protected:
  NativeSpec nativeSpec() const override;
  const EventRoutes& routes() const override;
  // Enter on the focused button presses it, as in dialogs.
  void afterEvent(long event, const Value& mp1, const Value& mp2) override;
};

}  // namespace rt
