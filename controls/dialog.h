// Dialog windows as application code creates them.
#pragma once

#include "forwarding.h"
#include "xbp/dialog.h"

namespace valumat {

class XbpDialog : public rt::XbpBaseDialog {
  RT_CLASS("XbpDialog", XbpDialog, rt::XbpBaseDialog)

 public:
  // Exactly the six construction arguments of the base class, in order;
  // arguments left out are passed on as NIL. Then not modal, no result.
  void init(const rt::Args& args) override;
  static rt::ClassObject& InitClass(rt::ClassObject& cls, const rt::Args& args) {
    return XbpBaseDialog::InitClass(cls, args);
  }

  // The result of the last modal run: 0 none yet, 2 closed or hidden without
  // one, anything else what a handler stored.
  rt::Value ModalResult = 0;
  // True exactly while a modal run of this window is in progress.
  bool IsModal = false;
};

}  // namespace valumat
