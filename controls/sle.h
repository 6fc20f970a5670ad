// Single-line entry fields as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/sle.h"

namespace valumat {

class XbpSLE : public rt::XbpBaseSLE {
  RT_CLASS("XbpSLE", XbpSLE, rt::XbpBaseSLE)

 public:
  // Drops: text, or a text file's content, replaces the marked characters
  // (with nothing marked it lands at the cursor); all its lines but for one
  // final line break, and only when the field can hold the result. The
  // dropped text is marked afterwards. Answers 1 or 0.
  rt::Value DragEnter(const rt::Value& state, const rt::Value& data) override;
  rt::Value DragDrop(const rt::Value& state, const rt::Value& data) override;

  VALUMAT_FORWARDS_TO(XbpBaseSLE)
};

}  // namespace valumat
