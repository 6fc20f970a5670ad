#include "fontname.h"

#include <charconv>

#include "value.h"

namespace rt {

namespace {
std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Applies a style word to the font; false when the word names no style.
bool ApplyStyle(std::string_view word, FontSpec& spec) {
  if (EqualsNoCase(word, "Fett") || EqualsNoCase(word, "Bold")) return spec.bold = true;
  if (EqualsNoCase(word, "Kursiv") || EqualsNoCase(word, "Italic")) return spec.italic = true;
  if (EqualsNoCase(word, "Unterstrichen") || EqualsNoCase(word, "Underline")) return spec.underline = true;
  if (EqualsNoCase(word, "Durchgestrichen") || EqualsNoCase(word, "Strikeout")) return spec.strikeout = true;
  return false;
}

}  // namespace

FontSpec ParseCompoundName(std::string_view name) {
  FontSpec spec;
  name = Trim(name);
  const size_t dot = name.find('.');
  if (dot != std::string_view::npos) {
    int points = 0;
    const std::string_view digits = Trim(name.substr(0, dot));
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), points);
    if (ec == std::errc() && end == digits.data() + digits.size() && points > 0) {
      spec.points = points;
      name = Trim(name.substr(dot + 1));
    }
  }
  // Style words stand at the end; the face itself may contain blanks.
  for (;;) {
    const size_t blank = name.rfind(' ');
    if (blank == std::string_view::npos) break;
    FontSpec trial = spec;
    if (!ApplyStyle(name.substr(blank + 1), trial)) break;
    spec = trial;
    name = Trim(name.substr(0, blank));
  }
  spec.face = std::string(name);
  return spec;
}

}  // namespace rt
