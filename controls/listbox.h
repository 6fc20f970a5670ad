// List boxes as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/listbox.h"

namespace valumat {

class XbpListBox : public rt::XbpBaseListBox {
  RT_CLASS("XbpListBox", XbpListBox, rt::XbpBaseListBox)
  VALUMAT_FORWARDS_TO(XbpBaseListBox)
};

}  // namespace valumat
