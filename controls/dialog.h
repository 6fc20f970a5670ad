// Dialog windows as application code creates them.
#pragma once

#include "forwarding.h"
#include "modal.h"
#include "gui/dialog.h"

namespace valumat {

class XbpDialog : public rt::XbpBaseDialog, public ModalWindow {
  RT_CLASS("XbpDialog", XbpDialog, rt::XbpBaseDialog)

 public:
  // Exactly the six construction arguments of the base class, in order;
  // arguments left out are passed on as NIL. Then not modal, no result.
  void init(const rt::Args& args) override;
  static rt::ClassObject& InitClass(rt::ClassObject& cls, const rt::Args& args) {
    return XbpBaseDialog::InitClass(cls, args);
  }

  // Runs the dialog modally (DisplayModalDlg) with `initialFocus` as the
  // control focused first; returns ModalResult.
  rt::Value ShowModal(const rt::Value& initialFocus = rt::Value());
};

}  // namespace valumat
