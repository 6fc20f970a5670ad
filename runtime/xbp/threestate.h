// 3-state boxes: a check box whose box can also stand undetermined.
#pragma once

#include <string>

#include "window.h"

namespace rt {

class XbpBase3State : public XbpWindow {
  RT_CLASS("XbpBase3State", XbpBase3State, XbpWindow)

 public:
  static constexpr long kUnchecked = 0;
  static constexpr long kChecked = 1;
  static constexpr long kUndetermined = 2;

  XbpBase3State();
  std::string caption;          // "~" marks the mnemonic letter
  long selection = kUnchecked;  // the state at creation, kept current afterwards
  // Callback when the user changes the state (a click goes from unchecked to
  // checked to undetermined and back to unchecked); mp1 the new state.
  Value selected;
  Value dataLink;  // callback: without argument yields the state, with a number takes it

  bool setCaption(const std::string& newCaption);
  // Without argument: the data link's value becomes the state; with a number
  // 0, 1 or 2: that one. Anything else leaves the box as it is and answers
  // false. Never fires `selected`.
  bool setData(const Args& args = {});
  bool setData(long state) { return setData(Args{Value(state)}); }
  // The state 0, 1 or 2; the data link (if any) is evaluated with it.
  long getData();

  char mnemonic() const override { return MnemonicOf(caption); }
  // Alt+letter: the focus, and the box moves on as on a click.
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
