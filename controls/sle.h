// Single-line entry fields as application code creates them.
#pragma once

#include "forwarding.h"
#include "xbp/sle.h"

namespace valumat {

class XbpSLE : public rt::XbpBaseSLE {
  RT_CLASS("XbpSLE", XbpSLE, rt::XbpBaseSLE)
  VALUMAT_FORWARDS_TO(XbpBaseSLE)
};

}  // namespace valumat
