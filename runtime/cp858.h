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

// The content of a text file in code page 858, decoded only where it says what
// it is: a byte-order mark (UTF-8, UTF-16 LE or BE, left out), or bytes above
// 127 that are all valid UTF-8. Anything else is code page 858 already, as the
// runtime writes its own files, and comes back byte for byte. `fallback` for
// characters 858 lacks, and for a lone surrogate or odd last byte of UTF-16.
// Never longer than `bytes`.
std::string TextFileToCp858(std::string_view bytes, char fallback = '?');

}  // namespace rt
