// German text written in UTF-8 sources, in code page 858 when the program is
// compiled: "Grüße, 5 €"_cp858 is the runtime's "Gr\x81\xe1e, 5 \xd5". A
// character the code page lacks stops the compilation rather than showing
// as "?" at run time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cp858.h"

namespace rt {
namespace text858 {

template <size_t N>
struct Utf8 {
  char bytes[N]{};
  consteval Utf8(const char (&s)[N]) {
    for (size_t i = 0; i < N; ++i) bytes[i] = s[i];
  }
};

// Not constexpr: reaching one while converting is the compile error, and the
// compiler names it.
void character_not_in_code_page_858();
void malformed_utf8_in_text();

template <size_t N>
struct Text {
  char text[N]{};  // never longer than the UTF-8 it came from
};

consteval char ByteOf(char32_t c) {
  if (c < 0x80) return static_cast<char>(c);
  for (size_t i = 0; i < kCp858High.size(); ++i)
    if (kCp858High[i] == c) return static_cast<char>(0x80 + i);
  character_not_in_code_page_858();
  return '?';
}

template <Utf8 S>
consteval Text<sizeof S.bytes> Convert() {
  Text<sizeof S.bytes> out;
  size_t n = 0;
  for (size_t i = 0; i + 1 < sizeof S.bytes;) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(S.bytes[i + k]); };
    const size_t length = b(0) < 0x80 ? 1 : b(0) < 0xC2 ? 0 : b(0) < 0xE0 ? 2 : b(0) < 0xF0 ? 3 : b(0) < 0xF5 ? 4 : 0;
    if (length == 0 || i + length >= sizeof S.bytes) malformed_utf8_in_text();
    char32_t c = length == 1 ? b(0) : b(0) & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      if ((b(k) & 0xC0) != 0x80) malformed_utf8_in_text();
      c = (c << 6) | (b(k) & 0x3F);
    }
    if ((length == 3 && c < 0x800) || (length == 4 && c < 0x10000)) malformed_utf8_in_text();  // overlong
    out.text[n++] = ByteOf(c);
    i += length;
  }
  return out;
}

template <Utf8 S>
inline constexpr Text<sizeof S.bytes> kConverted = Convert<S>();

}  // namespace text858

inline namespace literals {
template <text858::Utf8 S>
consteval const char* operator""_cp858() {
  return text858::kConverted<S>.text;
}
}  // namespace literals

}  // namespace rt
