// What the platform services and the window layer share at the Win32
// boundary: text conversion and the program's folder. No <windows.h> here.
#pragma once

#include <string>
#include <string_view>

#include "../cp858.h"

namespace rt {

// Texts cross the API boundary here and nowhere else.
inline std::wstring Wide(std::string_view cp858) { return Cp858ToWide(cp858); }
inline std::string Narrow(std::wstring_view wide) { return WideToCp858(wide); }

// The folder of the running executable, with its trailing backslash.
std::wstring ProgramFolder();

}  // namespace rt
