// Push buttons.
#pragma once

#include <string>

#include "window.h"

namespace rt {

class XbpBasePushButton : public XbpWindow {
  RT_CLASS_INFO("XbpBasePushButton", &XbpWindow::StaticClassInfo())

 public:
  XbpBasePushButton();
  std::string caption;  // "~" marks the mnemonic letter
  Value activate;       // callback on a click, a mnemonic or a posted activate event

  bool setCaption(const std::string& newCaption);
  Value handleEvent(long code, const Value& mp1, const Value& mp2) override;
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  bool onReflected(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  void onNativeDestroyed() override;
  // The mnemonic letter, upper-cased, or 0.
  char mnemonic() const;

 protected:
  NativeSpec nativeSpec() const override;

 private:
  void draw(const void* drawItem);
};

}  // namespace rt
