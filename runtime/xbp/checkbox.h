// Check boxes: a caption beside a box that the user checks and clears.
#pragma once

#include <string>

#include "window.h"

namespace rt {

class XbpBaseCheckBox : public XbpWindow {
  RT_CLASS("XbpBaseCheckBox", XbpBaseCheckBox, XbpWindow)

 public:
  XbpBaseCheckBox();
  std::string caption;     // "~" marks the mnemonic letter
  bool selection = false;  // checked: the state at creation, kept current afterwards
  Value selected;          // callback when the user checks or clears the box; mp1 the new state
  Value dataLink;          // callback: without argument yields the state, with a logical takes it

  bool setCaption(const std::string& newCaption);
  // Without argument: the data link's value becomes the state; with a logical:
  // that one. Anything but a logical leaves the box as it is and answers
  // false. Never fires `selected`.
  bool setData(const Args& args = {});
  bool setData(bool checked) { return setData(Args{Value(checked)}); }
  // Whether the box is checked; the data link (if any) is evaluated with it.
  bool getData();

  char mnemonic() const override { return MnemonicOf(caption); }
  // Alt+letter: the focus, and the box toggles as on a click.
  void onMnemonic() override;
  bool onCommand(unsigned code) override;
  NativeBrush onColor(NativeDC dc) override;
  void onNativeDestroyed() override;

 protected:
  NativeSpec nativeSpec() const override;
  void afterCreate() override;
  const EventRoutes& routes() const override;
  void eventParams(long event, Value& mp1, Value& mp2) override;
};

}  // namespace rt
