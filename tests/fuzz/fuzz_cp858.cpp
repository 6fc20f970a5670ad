// Code page 858 and UTF-16: every byte has its character and comes back as
// itself; any UTF-16 text converts without harm, one byte per character.
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
  return 0;
}
