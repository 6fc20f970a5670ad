// Compound font names: point size, a point, the face name, then style words
// ("9.Arial Fett" is 9-point Arial, bold).
#pragma once

#include <string>
#include <string_view>

namespace rt {

struct FontSpec {
  int points = 0;  // 0: no size given
  std::string face;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
};

// Trailing style words (German and English) are taken off the face name.
FontSpec ParseCompoundName(std::string_view name);

}  // namespace rt
