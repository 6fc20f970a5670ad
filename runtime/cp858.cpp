#include "cp858.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <type_traits>

namespace rt {
namespace {

struct Reverse {
  char16_t unit;
  uint8_t byte;
};

// The upper half sorted by UTF-16 unit, built once (thread-safe static init),
// so that each character costs a binary search instead of a scan.
const std::array<Reverse, 128>& ReverseTable() {
  static const std::array<Reverse, 128> table = [] {
    std::array<Reverse, 128> t{};
    for (size_t i = 0; i < kCp858High.size(); ++i) t[i] = {kCp858High[i], static_cast<uint8_t>(0x80 + i)};
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
    if (b >= 0x80) c = AnsiByteOf(kCp858High[b - 0x80]);
  }
  return out;
}

std::wstring Cp858ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (char c : text) {
    const auto b = static_cast<uint8_t>(c);
    out.push_back(static_cast<wchar_t>(b < 0x80 ? b : kCp858High[b - 0x80]));
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
