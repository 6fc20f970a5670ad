// Presentation spaces on GDI. What is drawn is also recorded, so that a
// window that is covered and uncovered shows it again.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <utility>

#include "../fontname.h"
#include "presentationspace.h"
#include "native.h"

namespace rt {

namespace {

// Entry `i` of a bundle, or `fallback` where the bundle leaves it open.
long Entry(const Value& bundle, size_t i, long fallback) {
  const Value v = bundle.at(i);
  return v.isNumber() ? v.integer() : fallback;
}

int PenStyle(long lineType) {
  switch (lineType) {
    case 1: return PS_DOT;
    case 2: return PS_DASH;
    case 3: return PS_DASHDOT;
    case 4: return PS_DASHDOTDOT;
    case 5: return PS_NULL;
    default: return PS_SOLID;  // 0 is the default line type
  }
}

// Mix modes of the runtime as GDI raster operations.
int RasterOp(long mix) {
  switch (mix) {
    case 4: return R2_XORPEN;
    case 5: return R2_NOP;
    case 6: return R2_NOT;
    default: return R2_COPYPEN;
  }
}

// Tokens are unique in the process, so that a token lent by another space
// never matches.
std::atomic<long> g_nextHdcToken{1};

}  // namespace

struct XbpBasePresSpace::HdcLock {
  HWND hwnd = nullptr;
  HDC dc = nullptr;
  double handle = 0;  // `dc` as the number handed out
  int saved = 0;      // SaveDC level of the state before lending
  OwnedFont scaled;   // a font made for the character box, selected while lent
};

XbpBasePresSpace::XbpBasePresSpace() = default;

XbpBasePresSpace::~XbpBasePresSpace() {
  // A context still lent goes back with the space.
  for (auto& [token, lock] : hdcLocks_) release(*lock);
}

void XbpBasePresSpace::bind(const std::shared_ptr<XbpWindow>& window) { window_ = window; }

Value XbpBasePresSpace::create(const Args& args) {
  const auto self = std::static_pointer_cast<XbpBasePresSpace>(shared_from_this());
  if (auto w = Arg(args, 1).as<XbpWindow>()) w->presSpace(self);
  return Value(self);
}

NativeDC XbpBasePresSpace::detachDC() { return std::exchange(dc_, nullptr); }

Value XbpBasePresSpace::setBundle(Value& bundle, const Args& args) {
  const Value previous = Value(Array(*bundle.array()));
  if (PCount(args) >= 1 && Arg(args, 1).isArray()) {
    const Value given = Arg(args, 1);
    for (size_t i = 1; i <= given.size() && i <= bundle.size(); ++i) {
      if (!given.at(i).isNil()) bundle[i] = given.at(i);
    }
  }
  return previous;
}

Value XbpBasePresSpace::setColor(const Args& args) {
  const Value previous{attributes_.line.at(1), attributes_.area.at(2)};
  if (PCount(args) >= 1 && !Arg(args, 1).isNil()) {
    for (Value* bundle : {&attributes_.line, &attributes_.area, &attributes_.marker, &attributes_.string})
      (*bundle)[1] = Arg(args, 1);
  }
  if (PCount(args) >= 2 && !Arg(args, 2).isNil()) {
    for (Value* bundle : {&attributes_.area, &attributes_.marker, &attributes_.string}) (*bundle)[2] = Arg(args, 2);
  }
  return previous;
}

Value XbpBasePresSpace::setAttrLine(const Args& args) { return setBundle(attributes_.line, args); }
Value XbpBasePresSpace::setAttrArea(const Args& args) { return setBundle(attributes_.area, args); }
Value XbpBasePresSpace::setAttrMarker(const Args& args) { return setBundle(attributes_.marker, args); }
Value XbpBasePresSpace::setAttrString(const Args& args) { return setBundle(attributes_.string, args); }

Value XbpBasePresSpace::setFont(const Args& args) {
  std::string previous = attributes_.font;
  if (previous.empty()) {
    if (auto w = window()) previous = w->fontCompoundName();
  }
  if (Arg(args, 1).isText()) attributes_.font = Arg(args, 1).text();
  return previous;
}

Value XbpBasePresSpace::drawMode(const Args& args) {
  const Value previous = drawMode_;
  if (Arg(args, 1).isNumber()) drawMode_ = Arg(args, 1);
  return previous;
}

Value XbpBasePresSpace::lastError(const Args&) { return lastError_; }

Value XbpBasePresSpace::drawFocusRect(const Args& args) {
  const Value a = Arg(args, 1), b = Arg(args, 2);
  if (!a.isArray() || !b.isArray()) {
    lastError_ = ERROR_INVALID_PARAMETER;
    return false;
  }
  // XOR drawing: recording it would undo it on the next repaint.
  return draw({Primitive::kFocusRect, Pixels(a.at(1)), Pixels(a.at(2)), Pixels(b.at(1)),
               Pixels(b.at(2)), {}, attributes_, 0, {}});
}

long XbpBasePresSpace::deviceHeight() const {
  auto w = window();
  if (!w || !w->isCreated()) return GetSystemMetrics(SM_CYSCREEN);
  RECT r{};
  GetClientRect(Hwnd(w->nativeHandle()), &r);
  return r.bottom;
}

bool XbpBasePresSpace::line(const Value& from, const Value& to) {
  if (!from.isArray() || !to.isArray()) {
    lastError_ = ERROR_INVALID_PARAMETER;
    return false;
  }
  Primitive p{Primitive::kLine, Pixels(from.at(1)), Pixels(from.at(2)), Pixels(to.at(1)),
              Pixels(to.at(2)), {}, attributes_, 0, {}};
  record(p);
  return drawMode_ == kDrawModeRetain || draw(p);
}

bool XbpBasePresSpace::stringAt(const Value& at, const std::string& text) {
  if (!at.isArray()) {
    lastError_ = ERROR_INVALID_PARAMETER;
    return false;
  }
  Primitive p{Primitive::kString, Pixels(at.at(1)), Pixels(at.at(2)), 0, 0, text, attributes_, 0, {}};
  record(p);
  return drawMode_ == kDrawModeRetain || draw(p);
}

namespace {

// Values alike by content; arrays element by element (== compares arrays by
// identity).
bool Alike(const Value& a, const Value& b) {
  if (!a.isArray() || !b.isArray()) return a == b;
  if (a.size() != b.size()) return false;
  for (size_t i = 1; i <= a.size(); ++i) {
    if (!Alike(a.at(i), b.at(i))) return false;
  }
  return true;
}

bool AlikeAttributes(const XbpBasePresSpace::Attributes& a, const XbpBasePresSpace::Attributes& b) {
  return a.font == b.font && Alike(a.line, b.line) && Alike(a.area, b.area) && Alike(a.marker, b.marker) &&
         Alike(a.string, b.string);
}

// Mix modes whose second drawing changes what the first drew.
bool Inverts(const XbpBasePresSpace::Primitive& p) {
  const long mix = Entry(p.attributes.line, 2, 0);
  return p.kind == XbpBasePresSpace::Primitive::kLine && (mix == 4 || mix == 6);
}

// Drawing `later` again after `earlier` looks as if `earlier` had never been drawn.
bool Repeats(const XbpBasePresSpace::Primitive& later, const XbpBasePresSpace::Primitive& earlier) {
  return later.kind == earlier.kind && later.x1 == earlier.x1 && later.y1 == earlier.y1 && later.x2 == earlier.x2 &&
         later.y2 == earlier.y2 && later.format == earlier.format && later.text == earlier.text && !Inverts(later) &&
         AlikeAttributes(later.attributes, earlier.attributes);
}

// Whether `later` fills every pixel `earlier` may have drawn.
bool Hides(const XbpBasePresSpace::Primitive::Box& earlier, const XbpBasePresSpace::Primitive::Box& later) {
  return earlier.bounded && earlier.left >= later.fillLeft && earlier.right <= later.fillRight &&
         earlier.bottom >= later.fillBottom && earlier.top <= later.fillTop;
}

}  // namespace

void XbpBasePresSpace::record(Primitive primitive) {
  if (drawMode_ == kDrawModeDraw) return;
  // Attribute arrays are shared by reference; keep the values of this moment.
  for (Value* bundle : {&primitive.attributes.line, &primitive.attributes.area, &primitive.attributes.marker,
                        &primitive.attributes.string})
    *bundle = Value(Array(*bundle->array()));
  // A program that redraws a status text forever must not grow forever:
  // what the new primitive draws over completely, or draws again alike, no
  // repaint needs. Only a string on its own background covers a box.
  const bool covers = primitive.kind == Primitive::kString && Entry(primitive.attributes.string, 4, 0) == 2;
  std::erase_if(recording_, [&](const Primitive& earlier) {
    return Repeats(primitive, earlier) || (covers && Hides(boxOf(earlier), boxOf(primitive)));
  });
  recording_.push_back(std::move(primitive));
}

namespace {

// The dpi a space draws at: its window's, or the screen's for an unbound one.
unsigned SpaceDpi(const XbpWindow* w) { return w ? w->dpi() : SystemDpi(); }

// The font a string is drawn in: the space's font, scaled to the character
// box where one is set.
HFONT StringFont(const std::string& compoundName, const Value& box, OwnedFont& owned, unsigned dpi) {
  HFONT base = compoundName.empty() ? DefaultFont(dpi) : FontOf(compoundName, dpi);
  if (!box.isArray() || box.at(1).number() <= 0 || box.at(2).number() <= 0) return base;
  LOGFONTW lf{};
  GetObjectW(base, sizeof lf, &lf);
  lf.lfHeight = ToDevice(box.at(2).number(), dpi);  // cell height
  lf.lfWidth = ToDevice(box.at(1).number(), dpi);   // average character width
  owned.reset(CreateFontIndirectW(&lf));
  return owned.get();
}

HFONT SpaceFont(const XbpBasePresSpace::Attributes& a, const XbpWindow* w, OwnedFont& owned) {
  return StringFont(a.font.empty() && w ? w->fontCompoundName() : a.font, a.string.at(5), owned, SpaceDpi(w));
}

// Text colour and back mix mode of the string attributes: transparent unless
// the back mix mode asks for the back colour (2).
void ApplyStringColours(HDC dc, const XbpBasePresSpace::Attributes& a) {
  SetTextColor(dc, ColorOf(Entry(a.string, 1, 7)));
  const long backMix = Entry(a.string, 4, 0);
  SetBkMode(dc, backMix == 2 ? OPAQUE : TRANSPARENT);
  if (backMix == 2) SetBkColor(dc, ColorOf(Entry(a.string, 2, 0)));
}

// The native call may write into the text with DT_MODIFYSTRING; what it
// draws is the same without.
constexpr long kModifyString = DT_MODIFYSTRING;

}  // namespace

const XbpBasePresSpace::Primitive::Box& XbpBasePresSpace::boxOf(const Primitive& p) const {
  Primitive::Box& box = p.box;
  if (box.known) return box;
  box.known = true;
  switch (p.kind) {
    case Primitive::kLine: {
      // Square ends of a wide pen reach at most its width beyond the ends.
      const long w = std::max(1L, Entry(p.attributes.line, 3, 1));
      box.left = std::min(p.x1, p.x2) - w;
      box.right = std::max(p.x1, p.x2) + w + 1;
      box.bottom = std::min(p.y1, p.y2) - w;
      box.top = std::max(p.y1, p.y2) + w;
      box.bounded = true;
      break;
    }
    case Primitive::kString: {
      // The character cells the text fills from its baseline point, with
      // room for an overhanging last glyph.
      auto w = window();
      HWND hwnd = w && w->isCreated() ? Hwnd(w->nativeHandle()) : nullptr;
      WindowDC dc(hwnd);
      OwnedFont scaled;
      SelectInScope select(dc.get(), SpaceFont(p.attributes, w.get(), scaled));
      const std::wstring wide = Wide(p.text);
      SIZE extent{};
      TEXTMETRICW tm{};
      if (!GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &extent) ||
          !GetTextMetricsW(dc.get(), &tm))
        break;
      // Glyphs that reach out of their cells (negative A or C widths); where
      // the font cannot tell, half its widest character either way.
      long before = tm.tmMaxCharWidth / 2, after = before;
      ABC first{}, last{};
      if (!wide.empty() && GetCharABCWidthsW(dc.get(), wide.front(), wide.front(), &first) &&
          GetCharABCWidthsW(dc.get(), wide.back(), wide.back(), &last)) {
        before = std::max(0, -first.abcA);
        after = std::max(0, -last.abcC) + tm.tmOverhang;
      }
      // The cells from the baseline point (TA_BASELINE): rows from ascent
      // above to descent below, in space rows y upwards; an opaque
      // background fills exactly them. The font measures in the window's
      // device pixels, the space in the program's: what the text fills is
      // rounded inwards, what it may reach outwards.
      const unsigned dpi = SpaceDpi(w.get());
      const auto inward = [dpi](long device) { return static_cast<long>(std::floor(ToApp(device, dpi))); };
      const auto outward = [dpi](long device) { return static_cast<long>(std::ceil(ToApp(device, dpi))); };
      box.fillLeft = p.x1;
      box.fillRight = p.x1 + inward(extent.cx) - 1;
      box.fillBottom = p.y1 - inward(tm.tmDescent) + 1;
      box.fillTop = p.y1 + inward(tm.tmAscent);
      box.left = box.fillLeft - outward(before);
      box.right = box.fillRight + outward(after);
      box.bottom = box.fillBottom;
      box.top = box.fillTop;
      box.bounded = true;
      break;
    }
    case Primitive::kFormattedText:
      // Clipped to its rectangle unless DT_NOCLIP lets it out.
      if (p.format & DT_NOCLIP) break;
      box.left = std::min(p.x1, p.x2);
      box.right = std::max(p.x1, p.x2);
      box.bottom = std::min(p.y1, p.y2);
      box.top = std::max(p.y1, p.y2);
      box.bounded = true;
      break;
    case Primitive::kFocusRect: break;
  }
  return box;
}

bool XbpBasePresSpace::draw(const Primitive& p) {
  auto w = window();
  HWND hwnd = w && w->isCreated() ? Hwnd(w->nativeHandle()) : nullptr;
  if (w && !hwnd) return false;  // the window is gone
  HDC dc = dc_;
  HDC borrowed = nullptr;
  if (!dc) dc = borrowed = GetDC(hwnd);
  if (!dc) return false;
  const long height = deviceHeight();
  const unsigned dpi = SpaceDpi(w.get());
  // Space pixels become device pixels; row y counts from the bottom row (0) upwards.
  auto dx = [dpi](long x) { return static_cast<int>(ToDevice(x, dpi)); };
  auto dy = [height, dpi](long y) { return static_cast<int>(height - 1 - ToDevice(y, dpi)); };
  const Attributes& a = p.attributes;
  const int savedRop = GetROP2(dc);
  switch (p.kind) {
    case Primitive::kLine: {
      SetROP2(dc, RasterOp(Entry(a.line, 2, 0)));
      const long width = std::max(1L, ToDevice(Entry(a.line, 3, 1), dpi));
      OwnedPen pen(CreatePen(PenStyle(Entry(a.line, 4, 0)), width, ColorOf(Entry(a.line, 1, 7))));
      SelectInScope select(dc, pen.get());
      MoveToEx(dc, dx(p.x1), dy(p.y1), nullptr);
      LineTo(dc, dx(p.x2), dy(p.y2));
      // Lines include their end point.
      LineTo(dc, dx(p.x2) + (p.x2 >= p.x1 ? 1 : -1), dy(p.y2));
      break;
    }
    case Primitive::kString: {
      OwnedFont scaled;
      SelectInScope select(dc, SpaceFont(a, w.get(), scaled));
      ApplyStringColours(dc, a);
      const UINT align = SetTextAlign(dc, TA_LEFT | TA_BASELINE);
      const std::wstring text = Wide(p.text);
      TextOutW(dc, dx(p.x1), dy(p.y1), text.c_str(), static_cast<int>(text.size()));
      SetTextAlign(dc, align);
      break;
    }
    case Primitive::kFormattedText: {
      OwnedFont scaled;
      SelectInScope select(dc, SpaceFont(a, w.get(), scaled));
      ApplyStringColours(dc, a);
      const UINT align = SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
      // Left and right as given; top and bottom ordered, as when it was drawn.
      RECT r{dx(p.x1), std::min(dy(p.y1), dy(p.y2)), dx(p.x2), std::max(dy(p.y1), dy(p.y2))};
      DrawTextA(dc, p.text.data(), static_cast<int>(p.text.size()), &r, static_cast<UINT>(p.format & ~kModifyString));
      SetTextAlign(dc, align);
      break;
    }
    case Primitive::kFocusRect: {
      RECT r{dx(std::min(p.x1, p.x2)), dy(std::max(p.y1, p.y2)), dx(std::max(p.x1, p.x2)) + 1,
             dy(std::min(p.y1, p.y2)) + 1};
      DrawFocusRect(dc, &r);
      break;
    }
  }
  SetROP2(dc, savedRop);
  if (borrowed) ReleaseDC(hwnd, borrowed);
  return true;
}

void XbpBasePresSpace::replay(NativeDC dc) {
  NativeDC own = dc_;
  dc_ = dc;
  for (const Primitive& p : recording_) draw(p);
  dc_ = own;
}

Value XbpBasePresSpace::queryTextBox(const std::string& text) {
  auto w = window();
  HWND hwnd = w && w->isCreated() ? Hwnd(w->nativeHandle()) : nullptr;
  WindowDC dc(hwnd);
  OwnedFont scaled;
  SelectInScope select(dc.get(), SpaceFont(attributes_, w.get(), scaled));
  const std::wstring wide = Wide(text);
  SIZE extent{};
  GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &extent);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc.get(), &tm);
  // In the space's pixels, as the program places text.
  const unsigned dpi = SpaceDpi(w.get());
  const double up = ToApp(tm.tmAscent, dpi), down = -ToApp(tm.tmDescent, dpi), right = ToApp(extent.cx, dpi);
  return Value{Value{0, up}, Value{0, down}, Value{right, up}, Value{right, down}, Value{right, 0}};
}

// --- native drawing calls ----------------------------------------------------

Value XbpBasePresSpace::lockHDC(long mode, Value& hdc) {
  if (mode != kLockHdcText) return 0;
  auto w = window();
  // Unbound spaces draw on the screen; lending the screen's context would let
  // a native call draw over the whole desktop.
  if (!w || !w->isCreated()) return 0;
  HWND hwnd = Hwnd(w->nativeHandle());
  // A context is only good on the thread of its window.
  if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return 0;
  auto lock = std::make_unique<HdcLock>();
  lock->hwnd = hwnd;
  lock->dc = GetDC(hwnd);
  if (!lock->dc) return 0;
  lock->saved = SaveDC(lock->dc);
  SelectObject(lock->dc, SpaceFont(attributes_, w.get(), lock->scaled));
  ApplyStringColours(lock->dc, attributes_);
  lock->handle = static_cast<double>(reinterpret_cast<uintptr_t>(lock->dc));
  long token = g_nextHdcToken++;
  if (token == 0) token = g_nextHdcToken++;  // after wrapping round
  hdc = Value(lock->handle);
  hdcLocks_[token] = std::move(lock);
  return token;
}

bool XbpBasePresSpace::UnlockHDC(const Value& token, const Value& hdc) {
  if (!token.isNumber() || !hdc.isNumber()) return false;
  const auto it = hdcLocks_.find(token.integer());
  if (it == hdcLocks_.end() || it->second->handle != hdc.number()) return false;
  release(*it->second);
  hdcLocks_.erase(it);
  return true;
}

void XbpBasePresSpace::release(HdcLock& lock) {
  // Restoring deselects the lent font before it is deleted with the lock.
  RestoreDC(lock.dc, lock.saved);
  ReleaseDC(lock.hwnd, lock.dc);
}

Value XbpBasePresSpace::MapPoint(const Value& point, bool toDevice, bool client) const {
  if (!point.isArray() || !point.at(1).isNumber() || !point.at(2).isNumber()) return Value();
  auto w = window();
  if (w && !w->isCreated()) return Value();
  HWND hwnd = w ? Hwnd(w->nativeHandle()) : nullptr;
  const long height = deviceHeight();
  const unsigned dpi = SpaceDpi(w.get());
  if (toDevice) {
    // The same pixels as the primitives'.
    POINT p{ToDevice(Pixels(point.at(1)), dpi), height - 1 - ToDevice(Pixels(point.at(2)), dpi)};
    if (!client && hwnd) ClientToScreen(hwnd, &p);
    return Value{p.x, p.y};
  }
  POINT p{Pixels(point.at(1)), Pixels(point.at(2))};
  if (!client && hwnd) ScreenToClient(hwnd, &p);
  return Value{ToApp(p.x, dpi), ToApp(height - 1 - p.y, dpi)};
}

void XbpBasePresSpace::retainText(const Value& from, const Value& to, const std::string& text, long format) {
  if (!from.isArray() || !to.isArray()) return;
  record({Primitive::kFormattedText, Pixels(from.at(1)), Pixels(from.at(2)), Pixels(to.at(1)), Pixels(to.at(2)),
          text, attributes_, format, {}});
}

bool GraLine(const PresSpaceRef& ps, const Value& from, const Value& to) {
  return ps && ps->line(from, to);
}

bool GraStringAt(const PresSpaceRef& ps, const Value& at, const std::string& text) {
  return ps && ps->stringAt(at, text);
}

Value GraQueryTextBox(const PresSpaceRef& ps, const std::string& text) {
  return ps ? ps->queryTextBox(text) : Value();
}

}  // namespace rt
