// Single-line entry fields.
#pragma once

#include <string>

#include "editfield.h"

namespace rt {

// Single-line entry field.
class XbpBaseSLE : public EditField {
  RT_CLASS("XbpBaseSLE", XbpBaseSLE, XbpWindow)

 public:
  long bufferLength = 32;
  Value change;  // callback of kEvChange: the user changed the text

  // Without argument: the data link's text becomes the field's text.
  // With a text: that text replaces the field's text; the data link is not run.
  bool setData(const Args& args = {});
  bool setData(const std::string& text) { return setData(Args{Value(text)}); }
  bool clear();

 protected:
  NativeSpec nativeSpec() const override;
  const EventRoutes& routes() const override;
  void afterCreate() override;
};

}  // namespace rt
