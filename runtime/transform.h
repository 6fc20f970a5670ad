// Formatting of values with pictures and parsing of texts with templates.
#pragma once

#include <string>
#include <string_view>

#include "value.h"

namespace rt {

// Formats a value with a picture: numbers as the number formatter does
// ("@N 999999999.99" gives a German amount with two decimals), texts as they
// are, logicals as "T"/"F", dates in the current date format.
std::string Transform(const Value& value, std::string_view picture);
// Converts a text to a value of the template's type: "N ..." gives a number
// (0 for text that holds none), "C" the text, "L" a logical, "D" a date.
Value LChar2Var(std::string_view text, std::string_view tmpl);
// A date as text in the format of setting 4 ("dd.mm.yy" by default).
std::string DateToText(Date date);
// The character of a code page 858 code.
std::string Chr(int code);
double Int(double value);

}  // namespace rt
