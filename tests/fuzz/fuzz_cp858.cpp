// Code page 858 and UTF-16: every byte has its character and comes back as
// itself; any UTF-16 text converts without harm, one byte per character.
// Text files: any bytes read as 858 text no longer than the file, unmarked
// bytes either as UTF-8 or unchanged, and 858 text saved as UTF-8 or UTF-16
// reads back as itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cp858.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring wide = rt::Cp858ToWide(bytes);
  if (wide.size() != bytes.size() || rt::WideToCp858(wide) != bytes) std::abort();

  // The same bytes read as UTF-16 units, surrogates and all.
  std::wstring units;
  for (size_t i = 0; i + 1 < size; i += 2) units.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  const std::string back = rt::WideToCp858(units, '?');
  if (back.size() > units.size()) std::abort();
  // What came out is code page 858 text: converting it again changes nothing.
  if (rt::WideToCp858(rt::Cp858ToWide(back)) != back) std::abort();

  const std::string read = rt::TextFileToCp858(bytes);
  if (read.size() > bytes.size() || rt::WideToCp858(rt::Cp858ToWide(read)) != read) std::abort();
  // Unmarked bytes are decoded only as UTF-8, whose sequences shrink: what
  // keeps its length was taken byte for byte.
  const bool marked = !bytes.rfind("\xEF\xBB\xBF", 0) || !bytes.rfind("\xFF\xFE", 0) || !bytes.rfind("\xFE\xFF", 0);
  if (!marked && read.size() == bytes.size() && read != bytes) std::abort();
  std::string utf8 = "\xEF\xBB\xBF", utf16 = "\xFF\xFE";
  for (wchar_t w : wide) {
    const auto u = static_cast<unsigned>(w);
    if (u < 0x80) {
      utf8 += static_cast<char>(u);
    } else if (u < 0x800) {
      utf8 += {static_cast<char>(0xC0 | u >> 6), static_cast<char>(0x80 | (u & 0x3F))};
    } else {
      utf8 += {static_cast<char>(0xE0 | u >> 12), static_cast<char>(0x80 | (u >> 6 & 0x3F)),
               static_cast<char>(0x80 | (u & 0x3F))};
    }
    utf16 += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  }
  if (rt::TextFileToCp858(utf8) != bytes || rt::TextFileToCp858(utf16) != bytes) std::abort();
  return 0;
}
