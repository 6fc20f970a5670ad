#include "dialog.h"

namespace valumat {

void XbpDialog::init(const rt::Args& args) {
  XbpBaseDialog::init(ExactlyArgs(args, 6));
  resetModal();
}

rt::Value XbpDialog::ShowModal(const rt::Value& initialFocus) {
  return showModal(rt::Value(shared_from_this()), initialFocus);
}

}  // namespace valumat
