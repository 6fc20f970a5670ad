// Multi-line entry fields as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/mle.h"

namespace valumat {

class XbpMLE : public rt::XbpBaseMLE {
  RT_CLASS("XbpMLE", XbpMLE, rt::XbpBaseMLE)

 public:
  // Drops: text, or a text file's content, is inserted at the cursor; marked
  // text stays. Answers 1, or 0 when nothing went in.
  rt::Value DragEnter(const rt::Value& state, const rt::Value& data) override;
  rt::Value DragDrop(const rt::Value& state, const rt::Value& data) override;

  VALUMAT_FORWARDS_TO(XbpBaseMLE)
};

}  // namespace valumat
