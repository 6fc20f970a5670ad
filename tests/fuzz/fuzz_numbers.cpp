// Amounts as typed and as formatted: reading and converting any text never
// fails, and what the formatter writes reads back to itself.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "format.h"
#include "transform.h"
#include "value.h"

namespace {
constexpr const char* kTemplates[] = {"N 999999999.99", "999.999", "@N 999999999.99", "N", "@N", "9999999.9", ""};

// The one text the formatter writes that reads back otherwise: the point
// form without a template writes 1.234 as "1.234", a German thousands group.
bool ReadsAsThousands(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  const size_t point = text.find('.');
  const auto digits = [](std::string_view s) { return s.find_first_not_of("0123456789") == std::string_view::npos; };
  return point >= 1 && point <= 3 && text.front() != '0' && text.size() == point + 4 && digits(text.substr(0, point)) &&
         digits(text.substr(point + 1));
}

// The template of a picture: what follows its functions.
std::string_view TemplateOf(std::string_view picture) {
  if (picture.empty() || picture.front() != '@') return picture;
  const size_t blank = picture.find(' ');
  return blank == std::string_view::npos ? std::string_view{} : picture.substr(blank + 1);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view tmpl = kTemplates[data[0] % std::size(kTemplates)];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  const double value = rt::ParseNumber(text, tmpl);
  const rt::Value viaLChar2Var = rt::LChar2Var(text, "N 999999999.99");
  if (!(viaLChar2Var.number() == rt::ParseNumber(text, "N 999999999.99") ||
        (std::isnan(viaLChar2Var.number()) && std::isnan(rt::ParseNumber(text, "N 999999999.99"))))) {
    std::abort();
  }
  // The formatter's text of any value reads back to the same text.
  for (const char* picture : {"@N 999999999.99", "999999999.99", "@N", "999.999", ""}) {
    const std::string written = rt::FormatNumber(value, picture);
    if (written.find('*') != std::string::npos) continue;  // too large for the picture
    const double reread = rt::ParseNumber(written, TemplateOf(picture));
    std::string expected = written;
    if (*picture == '\0' && ReadsAsThousands(written)) expected.erase(expected.find('.'), 1);
    if (rt::FormatNumber(reread, picture) != expected) std::abort();
    // At the rate 1 the exact conversion gives the formatter's text back.
    if (!TemplateOf(picture).empty() &&
        rt::FormatAtRate(written, TemplateOf(picture), 1.0, rt::RateOp::Multiply, picture) != expected) {
      std::abort();
    }
  }
  (void)rt::FormatAtRate(text, tmpl, 1.95583, static_cast<rt::RateOp>(data[0] & 1), "@N 999999999.99");
  // Transform and the picture parser take any picture.
  (void)rt::Transform(rt::Value(value), text);
  (void)rt::FormatNumber(value, text);
  return 0;
}
