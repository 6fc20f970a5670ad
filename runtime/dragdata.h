// What a drag brings over a window: the formats its source offers and the
// data in each. The runtime hands one to a window's DragEnter and DragDrop;
// it answers only during that call.
#pragma once

#include "classes.h"
#include "value.h"

namespace rt {

// Format numbers (those of the Windows clipboard).
inline constexpr long kFormatText = 1;    // plain text
inline constexpr long kFormatFiles = 15;  // a list of dropped files

class DragData : public Object {
  RT_CLASS("DragData", DragData, void)

 public:
  // The offered formats: an array of entries, each an array whose first
  // element is the format number. Text in any form the source offers is
  // listed as kFormatText.
  virtual Value GetFormats() = 0;
  // kFormatText: the text, in code page 858; kFormatFiles: an array of the
  // full path names. NIL when the source does not offer the format.
  virtual Value GetData(long format) = 0;
};

}  // namespace rt
