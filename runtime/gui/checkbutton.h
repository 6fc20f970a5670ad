// What check boxes, 3-state boxes and radio buttons share: a caption beside a
// box on the standard BUTTON control, a state that the user changes, and the
// event that reports the change. Not a class of its own for the program: each
// kind names the window base as its base class.
#pragma once

#include <string>

#include "window.h"

namespace rt {

class CheckButton : public XbpWindow {
 public:
  std::string caption;  // "~" marks the mnemonic letter
  // Callback when the user changes the state (mouse, space bar, mnemonic);
  // mp1 the new state, mp2 NIL. Changes the program makes do not fire it.
  Value selected;

  bool setCaption(const std::string& newCaption);
  char mnemonic() const override { return MnemonicOf(caption); }
  // Alt+letter acts as a click: the focus, then the press.
  void onMnemonic() override;

 protected:
  CheckButton() { tabStop = true; }
  // The BUTTON style of the kind.
  virtual unsigned long buttonStyle() const = 0;
  NativeSpec nativeSpec() const override;
  const EventRoutes& routes() const override;
  // The box as the control shows it: 0 clear, 1 checked, 2 undetermined.
  long shownState() const;
  // Sets the box; the control notifies nobody.
  void showState(long state);
};

}  // namespace rt
