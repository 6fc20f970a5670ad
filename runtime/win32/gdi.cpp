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

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM param) {
  *reinterpret_cast<bool*>(param) = true;
  return 0;
}

bool FaceInstalled(const std::wstring& face) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  WindowDC screen(nullptr);
  bool found = false;
  EnumFontFamiliesExW(screen.get(), &lf, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// Where a face is missing (as on systems without the Windows core fonts),
// use a metric-compatible one so that labels keep their size.
std::wstring FindAvailableFace(const std::wstring& face) {
  if (face.empty() || FaceInstalled(face)) return face;
  static const std::map<std::wstring, std::vector<std::wstring>> kAlternatives{
      {L"Arial", {L"Liberation Sans", L"DejaVu Sans"}},
      {L"Times New Roman", {L"Liberation Serif", L"DejaVu Serif"}},
      {L"Courier New", {L"Liberation Mono", L"DejaVu Sans Mono"}},
      {L"Tahoma", {L"DejaVu Sans", L"Liberation Sans"}},
      {L"MS Sans Serif", {L"Microsoft Sans Serif", L"Tahoma", L"Liberation Sans"}},
  };
  auto it = kAlternatives.find(face);
  if (it != kAlternatives.end()) {
    for (const std::wstring& alternative : it->second) {
      if (FaceInstalled(alternative)) return alternative;
    }
  }
  return face;
}

// Font enumeration is slow; each face is looked up once per process.
std::wstring AvailableFace(const std::wstring& face) {
  static std::map<std::wstring, std::wstring> resolved;
  auto it = resolved.find(face);
  if (it == resolved.end()) it = resolved.emplace(face, FindAvailableFace(face)).first;
  return it->second;
}

std::map<std::string, OwnedFont>& FontCache() {
  static std::map<std::string, OwnedFont> cache;
  return cache;
}

}  // namespace

HFONT FontOf(const std::string& compoundName) {
  auto& cache = FontCache();
  auto it = cache.find(compoundName);
  if (it != cache.end()) return it->second.get();
  const FontSpec spec = ParseCompoundName(compoundName);
  WindowDC screen(nullptr);
  LOGFONTW lf{};
  lf.lfHeight = spec.points > 0 ? -MulDiv(spec.points, GetDeviceCaps(screen.get(), LOGPIXELSY), 72) : 0;
  lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = spec.italic;
  lf.lfUnderline = spec.underline;
  lf.lfStrikeOut = spec.strikeout;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = AvailableFace(Wide(spec.face));
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&lf);
  cache.emplace(compoundName, OwnedFont(font));
  return font;
}

HFONT DefaultFont() { return FontOf("8.MS Sans Serif"); }

void ReleaseFonts() { FontCache().clear(); }

}  // namespace rt
