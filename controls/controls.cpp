#include "controls.h"

namespace valumat {

void XbpDialog::init(const rt::Args& args) {
  // Exactly the six construction arguments of the base, absent ones as NIL.
  rt::Args six(6);
  for (size_t i = 0; i < six.size() && i < args.size(); ++i) six[i] = args[i];
  XbpBaseDialog::init(six);
  IsModal = false;
  ModalResult = 0;
}

}  // namespace valumat
