// The control classes application code creates: each bears the public name
// and derives from the runtime's class of the same kind.
#pragma once

#include "xbp/dialog.h"
#include "xbp/pushbutton.h"
#include "xbp/sle.h"
#include "xbp/static.h"

namespace valumat {

class XbpDialog : public rt::XbpBaseDialog {
  RT_CLASS_INFO("XbpDialog", &XbpBaseDialog::StaticClassInfo())

 public:
  void init(const rt::Args& args) override;
  bool IsModal = false;
  rt::Value ModalResult = 0;
};

class XbpStatic : public rt::XbpBaseStatic {
  RT_CLASS_INFO("XbpStatic", &XbpBaseStatic::StaticClassInfo())

 public:
  void init(const rt::Args& args) override { XbpBaseStatic::init(args); }
};

class XbpPushButton : public rt::XbpBasePushButton {
  RT_CLASS_INFO("XbpPushButton", &XbpBasePushButton::StaticClassInfo())

 public:
  void init(const rt::Args& args) override { XbpBasePushButton::init(args); }
};

class XbpSLE : public rt::XbpBaseSLE {
  RT_CLASS_INFO("XbpSLE", &XbpBaseSLE::StaticClassInfo())

 public:
  void init(const rt::Args& args) override { XbpBaseSLE::init(args); }
};

}  // namespace valumat
