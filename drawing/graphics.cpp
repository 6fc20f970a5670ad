#include "graphics.h"

#include <algorithm>
#include <cmath>

#include "gui/presentationspace.h"
#include "error.h"
#include "procstack.h"
#include "gui/window.h"

namespace valumat {

using namespace rt;

namespace {

constexpr double kRgbFlag = 16777216;

// The space the procedure's method goes to: the first argument, or the
// application window's for NIL. Anything else is no receiver of the method:
// raised as for any method sent to an object that lacks it; when the handler
// lets it go on, nothing is sent.
PresSpaceRef SpaceOf(const Args& args, const char* method) {
  const Value oPS = Arg(args, 1);
  if (oPS.isNil()) return SetAppWindow()->presSpace();
  if (PresSpaceRef ps = oPS.as<XbpBasePresSpace>()) return ps;
  RaiseNoMethod(oPS, method, Args(args.begin() + 1, args.end()));
  return nullptr;
}

// The common shape of the attribute family: with more than one argument the
// second goes along (NIL included), otherwise the method gets none.
template <class Method>
Value Forward(const Args& args, const char* name, Method method) {
  PresSpaceRef ps = SpaceOf(args, name);
  if (!ps) return Value();
  return ((*ps).*method)(PCount(args) > 1 ? Args{Arg(args, 2)} : Args{});
}

}  // namespace

Value GraSetColor(const Args& args) {
  RT_PROC("GraSetColor");
  PresSpaceRef ps = SpaceOf(args, "setColor");
  if (!ps) return Value();
  if (PCount(args) > 2) return ps->setColor({Arg(args, 2), Arg(args, 3)});
  if (PCount(args) == 2) return ps->setColor({Arg(args, 2)});
  return ps->setColor({});
}

Value GraSetAttrLine(const Args& args) {
  RT_PROC("GraSetAttrLine");
  return Forward(args, "setAttrLine", &XbpBasePresSpace::setAttrLine);
}

Value GraSetAttrMarker(const Args& args) {
  RT_PROC("GraSetAttrMarker");
  return Forward(args, "setAttrMarker", &XbpBasePresSpace::setAttrMarker);
}

Value GraSetAttrArea(const Args& args) {
  RT_PROC("GraSetAttrArea");
  return Forward(args, "setAttrArea", &XbpBasePresSpace::setAttrArea);
}

Value GraSetAttrString(const Args& args) {
  RT_PROC("GraSetAttrString");
  return Forward(args, "setAttrString", &XbpBasePresSpace::setAttrString);
}

Value GraSetFont(const Args& args) {
  RT_PROC("GraSetFont");
  return Forward(args, "setFont", &XbpBasePresSpace::setFont);
}

Value GraSegDrawMode(const Args& args) {
  RT_PROC("GraSegDrawMode");
  return Forward(args, "drawMode", &XbpBasePresSpace::drawMode);
}

Value GraFocusRect(const Args& args) {
  RT_PROC("GraFocusRect");
  PresSpaceRef ps = SpaceOf(args, "drawFocusRect");
  if (!ps) return Value();
  return ps->drawFocusRect(Args(args.begin() + std::min<size_t>(1, args.size()), args.end()));
}

Value GraError(const Args& args) {
  RT_PROC("GraError");
  PresSpaceRef ps = SpaceOf(args, "lastError");
  return ps ? ps->lastError({}) : Value();
}

Value GraMakeRGBColor(const Value& aRGB) {
  RT_PROC("GraMakeRGBColor");
  if (!aRGB.isArray() || aRGB.size() < 3) return Value();
  for (size_t i = 1; i <= 3; ++i) {
    if (!aRGB.at(i).isNumber()) return Value();
  }
  Value shared = aRGB;  // same array: the clamped values reach the caller
  for (size_t i = 1; i <= 3; ++i) shared[i] = std::clamp(shared.at(i).number(), 0.0, 255.0);
  return shared.at(1).number() + shared.at(2).number() * 256 + shared.at(3).number() * 65536 + kRgbFlag;
}

bool GraIsRGBColor(const Value& nColor) {
  RT_PROC("GraIsRGBColor");
  if (!nColor.isNumber()) return false;
  return nColor.number() > 15 && nColor.number() - kRgbFlag >= 0;
}

Value GraGetRGBIntensity(const Value& nRGBColor) {
  RT_PROC("GraGetRGBIntensity");
  if (!GraIsRGBColor(nRGBColor)) return Value();
  double v = nRGBColor.number() - kRgbFlag;
  const double b = std::trunc(v / 65536);
  v -= b * 65536;
  const double g = std::trunc(v / 256);
  v -= g * 256;
  return Value{v, g, b};
}

}  // namespace valumat
