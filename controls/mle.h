// Multi-line entry fields as application code creates them.
#pragma once

#include "forwarding.h"
#include "xbp/mle.h"

namespace valumat {

class XbpMLE : public rt::XbpBaseMLE {
  RT_CLASS("XbpMLE", XbpMLE, rt::XbpBaseMLE)
  VALUMAT_FORWARDS_TO(XbpBaseMLE)
};

}  // namespace valumat
