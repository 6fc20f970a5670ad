// Text-mode windows as application code creates them.
#pragma once

#include "forwarding.h"
#include "modal.h"
#include "gui/crt.h"

namespace valumat {

class XbpCrt : public rt::XbpBaseCrt, public ModalWindow {
  RT_CLASS("XbpCrt", XbpCrt, rt::XbpBaseCrt)

 public:
  // Exactly the seven construction arguments of the base class, in order;
  // arguments left out are passed on as NIL. Then not modal, no result.
  void init(const rt::Args& args) override;
  static rt::ClassObject& InitClass(rt::ClassObject& cls, const rt::Args& args) {
    return XbpBaseCrt::InitClass(cls, args);
  }

  // Runs the window modally (DisplayModalDlg) with `initialFocus` as the
  // control focused first; returns ModalResult.
  rt::Value ShowModal(const rt::Value& initialFocus = rt::Value());

  // The three mouse events: dropped (answer 0) while the mouse is switched
  // off; with MouseMode 1 the position (mp1's second element) reaches the
  // base class as {row, column}, in a copy. Pixel coordinates of 0 or below
  // are left as they are.
  rt::Value handleEvent(long code, const rt::Value& mp1, const rt::Value& mp2) override;
};

}  // namespace valumat
