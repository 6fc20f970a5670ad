// Conversion between the OEM code page 858 that the runtime's texts are held in
// and UTF-16, which Windows controls and the drawing calls expect.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace rt {

// Upper half of code page 858: code page 850 with the euro sign at 0xD5.
// The lower half is ASCII, control characters included (no glyph mapping).
inline constexpr std::array<char16_t, 128> kCp858High = {
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

// Every byte becomes exactly one UTF-16 unit; control bytes stay control
// characters. Each wchar_t holds one UTF-16 unit, also where it is 32 bits wide.
std::wstring Cp858ToWide(std::string_view text);

// Characters without a byte in code page 858 become `fallback`: a surrogate
// pair (one character) gives one fallback byte, a lone surrogate one as well.
std::string WideToCp858(std::wstring_view text, char fallback = '?');

// Code page 858 to Windows-1252, byte for byte: the same length, "?" for a
// character that 1252 lacks (box drawing, U+2017). By our own tables, so that
// the result does not depend on the code pages of the machine.
std::string ConvToAnsiCP(std::string_view text);

// The content of a text file in code page 858, decoded only where it says what
// it is: a byte-order mark (UTF-8, UTF-16 LE or BE, left out), or bytes above
// 127 that are all valid UTF-8. Anything else is code page 858 already, as the
// runtime writes its own files, and comes back byte for byte. `fallback` for
// characters 858 lacks, and for a lone surrogate or odd last byte of UTF-16.
// Never longer than `bytes`.
std::string TextFileToCp858(std::string_view bytes, char fallback = '?');

}  // namespace rt
