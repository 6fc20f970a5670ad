// The error system's public procedures.
#pragma once

#include <string>

namespace valumat {

// Installs the standard error handler as the process-wide handler: from then
// on every error raised anywhere reaches it. Also makes a break that no
// recovery block catches end in the error log (see rt::Run).
void ErrorSys();

// Word-wraps `text` at `width` characters and joins the lines with ";": no
// line longer than the width, breaks at the last blank within it (a word
// longer than the width is cut), line breaks in the text start a new line,
// trailing blanks of each line removed, no ";" at the end.
std::string LineSplit(const std::string& text, int width);

}  // namespace valumat
