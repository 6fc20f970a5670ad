#include "crt.h"

#include <cmath>

#include "events.h"

namespace valumat {

void XbpCrt::init(const rt::Args& args) {
  XbpBaseCrt::init(ExactlyArgs(args, 7));
  resetModal();
}

rt::Value XbpCrt::ShowModal(const rt::Value& initialFocus) {
  return showModal(rt::Value(shared_from_this()), initialFocus);
}

rt::Value XbpCrt::handleEvent(long code, const rt::Value& mp1, const rt::Value& mp2) {
  if (code != rt::kEvMouseLbDown && code != rt::kEvMouseLbUp && code != rt::kEvMouseMove) {
    return XbpBaseCrt::handleEvent(code, mp1, mp2);
  }
  if (!rt::SetMouse()) return 0;
  rt::Value event = mp1;  // the same array: the converted position is the event's from here on
  if (MouseMode == 1 && mp1.isArray() && mp1.at(2).isArray()) {
    // A new position array: the one the caller put there stays as it was.
    const rt::Value given = mp1.at(2);
    double x = given.at(1).number(), y = given.at(2).number();
    if (x > 0 && FontWidth > 0) x = std::trunc(x / static_cast<double>(FontWidth));
    // The bottom pixel row (y = 0) is the last text row like the rest of it.
    if (y >= 0 && FontHeight > 0) y = static_cast<double>(MaxRow) - std::trunc(y / static_cast<double>(FontHeight));
    event[2] = rt::Value{y, x};
  }
  return XbpBaseCrt::handleEvent(code, event, mp2);
}

}  // namespace valumat
