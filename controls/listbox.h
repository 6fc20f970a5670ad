// List boxes as application code creates them.
#pragma once

#include "forwarding.h"
#include "xbp/listbox.h"

namespace valumat {

class XbpListBox : public rt::XbpBaseListBox {
  RT_CLASS("XbpListBox", XbpListBox, rt::XbpBaseListBox)
  VALUMAT_FORWARDS_TO(XbpBaseListBox)
};

}  // namespace valumat
