// Must not compile: code page 858 has no "Ł"; the suite checks the compiler's
// message names the reason.
#include "text858.h"

using namespace rt::literals;
const char* const kText = "Łódź"_cp858;
