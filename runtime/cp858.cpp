#include "cp858.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <type_traits>

namespace rt {
namespace {

// Upper half of code page 858: code page 850 with the euro sign at 0xD5.
// The lower half is ASCII, control characters included (no glyph mapping).
constexpr std::array<char16_t, 128> kHigh = {
    // 0x80
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    // 0x90
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    // 0xA0
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    // 0xB0
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    // 0xC0
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    // 0xD0
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x20AC, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    // 0xE0
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    // 0xF0
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

struct Reverse {
  char16_t unit;
  uint8_t byte;
};

// The upper half sorted by UTF-16 unit, built once (thread-safe static init),
// so that each character costs a binary search instead of a scan.
const std::array<Reverse, 128>& ReverseTable() {
  static const std::array<Reverse, 128> table = [] {
    std::array<Reverse, 128> t{};
    for (size_t i = 0; i < kHigh.size(); ++i) t[i] = {kHigh[i], static_cast<uint8_t>(0x80 + i)};
    std::sort(t.begin(), t.end(), [](const Reverse& a, const Reverse& b) { return a.unit < b.unit; });
    return t;
  }();
  return table;
}

bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Windows-1252 0x80..0x9F; 0 where the code page leaves the byte unassigned.
// 0xA0..0xFF are U+00A0..U+00FF.
constexpr std::array<char16_t, 32> kAnsiC1 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char AnsiByteOf(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (size_t i = 0; i < kAnsiC1.size(); ++i) {
    if (kAnsiC1[i] == unit) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// Length of the well-formed UTF-8 sequence at `at` (overlong forms, surrogates
// and code points past U+10FFFF are not), 0 when there is none; its code
// point in `cp`.
size_t Utf8At(std::string_view s, size_t at, uint32_t& cp) {
  const auto b = [&](size_t i) { return static_cast<uint8_t>(s[at + i]); };
  const auto cont = [&](size_t i) { return at + i < s.size() && (b(i) & 0xC0) == 0x80; };
  const uint8_t lead = b(0);
  if (lead < 0x80) return cp = lead, 1;
  if (lead >= 0xC2 && lead <= 0xDF && cont(1)) return cp = (lead & 0x1Fu) << 6 | (b(1) & 0x3Fu), 2;
  if (lead >= 0xE0 && lead <= 0xEF && cont(1) && cont(2)) {
    cp = (lead & 0x0Fu) << 12 | (b(1) & 0x3Fu) << 6 | (b(2) & 0x3Fu);
    return cp >= 0x800 && !(cp >= 0xD800 && cp <= 0xDFFF) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4 && cont(1) && cont(2) && cont(3)) {
    cp = (lead & 0x07u) << 18 | (b(1) & 0x3Fu) << 12 | (b(2) & 0x3Fu) << 6 | (b(3) & 0x3Fu);
    return cp >= 0x10000 && cp <= 0x10FFFF ? 4 : 0;
  }
  return 0;
}

bool IsUtf8(std::string_view s) {
  uint32_t cp = 0;
  for (size_t i = 0, n = 0; i < s.size(); i += n) {
    if ((n = Utf8At(s, i, cp)) == 0) return false;
  }
  return true;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

}  // namespace

std::string TextFileToCp858(std::string_view bytes, char fallback) {
  std::wstring units;
  units.reserve(bytes.size());
  if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) {
    const bool little = bytes[0] == '\xFF';
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const auto lo = static_cast<uint8_t>(bytes[i + (little ? 0 : 1)]);
      const auto hi = static_cast<uint8_t>(bytes[i + (little ? 1 : 0)]);
      units.push_back(static_cast<wchar_t>(hi << 8 | lo));
    }
    std::string out = WideToCp858(units, fallback);
    if (bytes.size() % 2) out.push_back(fallback);
    return out;
  }
  const bool bom = StartsWith(bytes, "\xEF\xBB\xBF");
  // Unmarked bytes are UTF-8 only when they say so by holding a sequence of
  // it; anything else is taken as written, in our own code page: reading it
  // as Windows-1252 would garble what the runtime itself wrote.
  const bool utf8 = bom || (std::ranges::any_of(bytes, [](char c) { return static_cast<uint8_t>(c) >= 0x80; }) &&
                            IsUtf8(bytes));
  if (!utf8) return std::string(bytes);
  // A file marked as UTF-8 may still hold a broken sequence: one fallback
  // for each byte of it.
  uint32_t cp = 0;
  for (size_t i = bom ? 3 : 0, n = 0; i < bytes.size(); i += n) {
    n = Utf8At(bytes, i, cp);
    if (n == 0) {
      n = 1;
      cp = 0xFFFD;
    }
    // Outside the basic plane nothing is in code page 858: an unpaired
    // surrogate unit gives the fallback.
    units.push_back(static_cast<wchar_t>(cp > 0xFFFF ? 0xD800 : cp));
  }
  return WideToCp858(units, fallback);
}

std::string ConvToAnsiCP(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto b = static_cast<uint8_t>(c);
    if (b >= 0x80) c = AnsiByteOf(kHigh[b - 0x80]);
  }
  return out;
}

std::wstring Cp858ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (char c : text) {
    const auto b = static_cast<uint8_t>(c);
    out.push_back(static_cast<wchar_t>(b < 0x80 ? b : kHigh[b - 0x80]));
  }
  return out;
}

std::string WideToCp858(std::wstring_view text, char fallback) {
  const auto& table = ReverseTable();
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    // Unsigned, so that a 32-bit wchar_t beyond 0xFFFF is simply unmappable.
    const auto u = static_cast<uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
      continue;
    }
    if (IsHighSurrogate(u) && i + 1 < text.size() &&
        IsLowSurrogate(static_cast<uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i + 1])))) {
      ++i;  // one character outside the BMP: one fallback
      out.push_back(fallback);
      continue;
    }
    const auto it = std::lower_bound(table.begin(), table.end(), u,
                                     [](const Reverse& r, uint32_t v) { return r.unit < v; });
    out.push_back(it != table.end() && it->unit == u ? static_cast<char>(it->byte) : fallback);
  }
  return out;
}

}  // namespace rt
