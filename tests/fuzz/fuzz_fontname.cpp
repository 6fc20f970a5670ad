// Compound font names as programs write them: any text gives a font spec
// whose face is part of the text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fontname.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  const rt::FontSpec spec = rt::ParseCompoundName(name);
  if (spec.points < 0) std::abort();
  if (!spec.face.empty() && name.find(spec.face) == std::string::npos) std::abort();
  return 0;
}
