#include "dialog.h"

namespace valumat {

void XbpDialog::init(const rt::Args& args) {
  rt::Args six(6);
  for (size_t i = 0; i < six.size() && i < args.size(); ++i) six[i] = args[i];
  XbpBaseDialog::init(six);
  IsModal = false;
  ModalResult = 0;
}

rt::Value XbpDialog::ShowModal(const rt::Value& initialFocus) {
  IsModal = true;
  DisplayModalDlg(rt::Value(shared_from_this()), initialFocus);
  IsModal = false;
  return ModalResult;
}

}  // namespace valumat
