#include "spinbutton.h"

#include <string>

namespace valumat {

rt::Value XbpSpinButton::KillInputFocus() {
  if (!PadWithZeros) return XbpBaseSpinbutton::KillInputFocus();
  const std::string typed = XbpBaseSLE::editBuffer();
  if (typed.empty() || typed.front() != '0') setData(rt::Value(editBuffer()));
  return XbpBaseSpinbutton::KillInputFocus();
}

}  // namespace valumat
