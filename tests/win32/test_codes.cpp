// The numbers the runtime shares with application code, by their literal
// values: a constant changed by mistake fails here, whatever its name says.
#include <gtest/gtest.h>

#include "dll.h"
#include "events.h"
#include "settings.h"
#include "sysinfo.h"
#include "gui/native.h"
#include "gui/menu.h"
#include "gui/presentationspace.h"
#include "gui/window.h"

using namespace rt;

TEST(Codes, TheRuntimesNumbersHaveTheirFixedValues) {
  const struct {
    const char* what;
    long constant, value;
  } codes[] = {
      {"close event", kEvClose, 1048632},
      {"activate event", kEvActivate, 1048609},
      {"mouse button down", kEvMouseLbDown, 1048650},
      {"mouse button up", kEvMouseLbUp, 1048651},
      {"mouse motion", kEvMouseMove, 1048653},
      {"menu item answers its key letter", kMenuKeyLetter, 131072},
      {"lockHDC mode", kLockHdcText, 4},
      {"Escape", kKeyEsc, 27},
      {"Enter", kKeyEnter, 13},
      {"foreground colour", kPPForeground, 2},
      {"background colour", kPPBackground, 4},
      {"compound font name", kPPCompoundName, 15},
      {"date format", kSetDateFormat, 4},
      {"console", kSetConsole, 17},
      {"alternate output", kSetAlternate, 18},
      {"alternate file", kSetAltFile, 19},
      {"extra output", kSetExtra, 21},
      {"printer", kSetPrinter, 23},
      {"century", kSetCentury, 40},
      {"optimize", kSetOptimize, 41},
      {"drawn texts in ANSI", kSetCharset, 43},
      {"tilde markers", kSetTildeMarkers, 46},
      {"currency sign", kLocaleCurrency, 5},
      {"GUI application", kAppTypeGui, 3},
      {"standard calling convention", kDllStdcall, 32},
  };
  for (const auto& c : codes) EXPECT_EQ(c.constant, c.value) << c.what;

  const struct {
    long colour;
    COLORREF rgb;
  } palette[] = {{0, RGB(255, 255, 255)}, {1, RGB(0, 0, 255)},   {2, RGB(255, 0, 0)},
                 {3, RGB(255, 0, 255)},   {4, RGB(0, 255, 0)},   {7, RGB(0, 0, 0)},
                 {15, RGB(192, 192, 192)}, {16777216 + 1 + 2 * 256 + 3 * 65536, RGB(1, 2, 3)}};
  for (const auto& p : palette) EXPECT_EQ(ColorOf(p.colour), p.rgb) << p.colour;
}
