// Text-mode windows as application code creates them.
#pragma once

#include "forwarding.h"
#include "xbp/crt.h"

namespace valumat {

class XbpCrt : public rt::XbpBaseCrt {
  RT_CLASS("XbpCrt", XbpCrt, rt::XbpBaseCrt)

 public:
  // Exactly the seven construction arguments of the base class, in order;
  // arguments left out are passed on as NIL. Then not modal, no result.
  void init(const rt::Args& args) override;
  static rt::ClassObject& InitClass(rt::ClassObject& cls, const rt::Args& args) {
    return XbpBaseCrt::InitClass(cls, args);
  }

  // The three mouse events: dropped (answer 0) while the mouse is switched
  // off; with MouseMode 1 the position (mp1's second element) reaches the
  // base class as {row, column}, in a copy. Pixel coordinates of 0 or below
  // are left as they are.
  rt::Value handleEvent(long code, const rt::Value& mp1, const rt::Value& mp2) override;

  // The result of the last modal run: 0 none yet, 2 closed or hidden without
  // one, anything else what a handler stored.
  rt::Value ModalResult = 0;
  // True exactly while a modal run of this window is in progress.
  bool IsModal = false;
};

}  // namespace valumat
