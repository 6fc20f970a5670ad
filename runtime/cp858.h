// Conversion between the OEM code page 858 that the runtime's texts are held in
// and UTF-16, which Windows controls and the drawing calls expect.
#pragma once

#include <string>
#include <string_view>

namespace rt {

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

// The content of a text file as Windows editors read it, in code page 858: a
// byte-order mark decides (UTF-8, UTF-16 LE or BE) and is left out; without
// one, bytes that are valid UTF-8 are UTF-8, any others Windows-1252 (by our
// own table, like ConvToAnsiCP). `fallback` for characters 858 lacks, and for
// a lone surrogate or odd last byte of UTF-16. Never longer than `bytes`.
std::string TextFileToCp858(std::string_view bytes, char fallback = '?');

}  // namespace rt
