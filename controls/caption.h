// GraCaptionStr: DrawCaptionStr of a presentation space in procedure form,
// beside the space it draws with.
#pragma once

#include "error.h"
#include "gui/window.h"
#include "presspace.h"
#include "procstack.h"

namespace valumat {

// Arguments: oPS (NIL: the application window's space), aStartPos, aEndPos,
// cCaption, nFormat, nTabSize. The space gets all five after oPS, NIL where
// not passed. A first argument that is no XbpPresSpace cannot draw a
// caption: raised as a missing method (genCode 13) like the other Gra
// procedures; when the handler lets it go on, the result is false.
inline rt::Value GraCaptionStr(const rt::Args& args) {
  RT_PROC("GraCaptionStr");
  const rt::Value oPS = rt::Arg(args, 1);
  const rt::Args rest{rt::Arg(args, 2), rt::Arg(args, 3), rt::Arg(args, 4), rt::Arg(args, 5), rt::Arg(args, 6)};
  const rt::PresSpaceRef space = oPS.isNil() ? rt::SetAppWindow()->presSpace() : oPS.as<rt::XbpBasePresSpace>();
  auto* ps = dynamic_cast<XbpPresSpace*>(space.get());
  if (!ps) {
    rt::RaiseNoMethod(space ? rt::Value(space) : oPS, "drawCaptionStr", rest);
    return false;
  }
  return ps->DrawCaptionStr(rest);
}

}  // namespace valumat
