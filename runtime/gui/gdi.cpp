// Colours, fonts and the module instance.
#include <algorithm>
#include <map>
#include <vector>

#include "../fontname.h"
#include "native.h"

namespace rt {

HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }

COLORREF ColorOf(long color) {
  // The runtime's palette.
  static constexpr COLORREF kPalette[16] = {
      RGB(255, 255, 255), RGB(0, 0, 255),   RGB(255, 0, 0),     RGB(255, 0, 255),
      RGB(0, 255, 0),     RGB(0, 255, 255), RGB(255, 255, 0),   RGB(0, 0, 0),
      RGB(128, 128, 128), RGB(0, 0, 128),   RGB(128, 0, 0),     RGB(128, 0, 128),
      RGB(0, 128, 0),     RGB(0, 128, 128), RGB(128, 128, 0),   RGB(192, 192, 192),
  };
  if (color >= 0 && color < 16) return kPalette[color];
  if (color >= 16777216) {
    // R + G*256 + B*65536 + bit 24; components beyond 255 saturate.
    const long v = color - 16777216;
    const long r = v % 256, g = (v / 256) % 256, b = std::min(v / 65536, 255L);
    return RGB(r, g, b);
  }
  // System colours of the desktop's scheme.
  switch (color) {
    case -40: return GetSysColor(COLOR_BTNFACE);        // button background
    case -58: return GetSysColor(COLOR_BTNTEXT);        // button text
    case -47: return GetSysColor(COLOR_WINDOW);         // entry field background
    case -41: return GetSysColor(COLOR_INFOBK);         // highlighted field background
    case -48: return GetSysColor(COLOR_WINDOWTEXT);     // entry field text
    case -42: return GetSysColor(COLOR_3DFACE);         // dialog background
    case -43: return GetSysColor(COLOR_HIGHLIGHT);
    case -44: return GetSysColor(COLOR_HIGHLIGHTTEXT);
    case -45: return GetSysColor(COLOR_GRAYTEXT);
    case -46: return GetSysColor(COLOR_ACTIVECAPTION);
    case -49: return GetSysColor(COLOR_INFOTEXT);
    case -50: return GetSysColor(COLOR_APPWORKSPACE);
    default: return RGB(0, 0, 0);
  }
}

namespace {

// Whether a font made for `face` really is that face: GDI answers a missing
// face with another one. Asking the made font is much cheaper than
// enumerating the installed fonts.
bool Gets(HDC screen, const LOGFONTW& font, HFONT made) {
  SelectInScope select(screen, made);
  wchar_t got[LF_FACESIZE] = {};
  GetTextFaceW(screen, LF_FACESIZE, got);
  return lstrcmpiW(got, font.lfFaceName) == 0;
}

// Where a face is missing (as on systems without the Windows core fonts), a
// metric-compatible one keeps labels at their size.
const std::map<std::wstring, std::vector<std::wstring>>& Alternatives() {
  static const std::map<std::wstring, std::vector<std::wstring>> alternatives{
      {L"Arial", {L"Liberation Sans", L"DejaVu Sans"}},
      {L"Times New Roman", {L"Liberation Serif", L"DejaVu Serif"}},
      {L"Courier New", {L"Liberation Mono", L"DejaVu Sans Mono"}},
      {L"Tahoma", {L"DejaVu Sans", L"Liberation Sans"}},
      {L"MS Sans Serif", {L"Microsoft Sans Serif", L"Tahoma", L"Liberation Sans"}},
  };
  return alternatives;
}

// The face each requested face resolved to, once per process.
std::map<std::wstring, std::wstring>& ResolvedFaces() {
  static std::map<std::wstring, std::wstring> resolved;
  return resolved;
}

// A font of `lf`, its face replaced by an installed alternative where GDI
// would not give the face asked for.
HFONT MakeFont(HDC screen, LOGFONTW lf) {
  const std::wstring asked = lf.lfFaceName;
  auto& resolved = ResolvedFaces();
  if (auto it = resolved.find(asked); it != resolved.end()) {
    lstrcpynW(lf.lfFaceName, it->second.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&lf);
  }
  HFONT font = CreateFontIndirectW(&lf);
  if (asked.empty() || !font || Gets(screen, lf, font)) {
    resolved.emplace(asked, asked);
    return font;
  }
  if (auto it = Alternatives().find(asked); it != Alternatives().end()) {
    for (const std::wstring& alternative : it->second) {
      LOGFONTW other = lf;
      lstrcpynW(other.lfFaceName, alternative.c_str(), LF_FACESIZE);
      HFONT candidate = CreateFontIndirectW(&other);
      if (candidate && Gets(screen, other, candidate)) {
        DeleteObject(font);
        resolved.emplace(asked, alternative);
        return candidate;
      }
      if (candidate) DeleteObject(candidate);
    }
  }
  // None installed: what GDI chose for the face asked.
  resolved.emplace(asked, asked);
  return font;
}

// By name and dpi: a window shows its fonts at its own dpi.
std::map<std::pair<std::string, unsigned>, OwnedFont>& FontCache() {
  static std::map<std::pair<std::string, unsigned>, OwnedFont> cache;
  return cache;
}

}  // namespace

HFONT FontOf(const std::string& compoundName, unsigned dpi) {
  if (dpi == 0) dpi = SystemDpi();
  auto& cache = FontCache();
  const auto key = std::make_pair(compoundName, dpi);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second.get();
  const FontSpec spec = ParseCompoundName(compoundName);
  WindowDC screen(nullptr);
  LOGFONTW lf{};
  lf.lfHeight = spec.points > 0 ? -MulDiv(spec.points, static_cast<int>(dpi), 72) : 0;
  lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = spec.italic;
  lf.lfUnderline = spec.underline;
  lf.lfStrikeOut = spec.strikeout;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, Wide(spec.face).c_str(), LF_FACESIZE);
  HFONT font = MakeFont(screen.get(), lf);
  cache.emplace(key, OwnedFont(font));
  return font;
}

HFONT DefaultFont(unsigned dpi) { return FontOf("8.MS Sans Serif", dpi); }

void ReleaseFonts() { FontCache().clear(); }

}  // namespace rt
