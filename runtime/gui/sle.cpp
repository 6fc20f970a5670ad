// Single-line entry fields on the standard edit control.
#include <algorithm>

#include "../events.h"
#include "../transform.h"
#include "sle.h"
#include "native.h"

namespace rt {

XbpWindow::NativeSpec XbpBaseSLE::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = L"EDIT";
  spec.style = ES_LEFT | ES_AUTOHSCROLL | (editable ? 0 : ES_READONLY);
  spec.exStyle = border ? WS_EX_CLIENTEDGE : 0;
  spec.text = Wide(buffer_);
  spec.subclass = true;
  return spec;
}

const EventRoutes& XbpBaseSLE::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Command, EN_CHANGE, kEvChange, CallbackOf(&XbpBaseSLE::change)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

void XbpBaseSLE::afterCreate() {
  SendMessageW(Hwnd(handle_), EM_LIMITTEXT, static_cast<WPARAM>(std::max(bufferLength, 1L)), 0);
}

bool XbpBaseSLE::setData(const Args& args) {
  const Value given = dataGiven(args);
  std::string text = given.isText() ? given.text() : Transform(given, "@N");
  // The field never holds more than its buffer takes, however the text came.
  if (bufferLength > 0 && text.size() > static_cast<size_t>(bufferLength)) text.resize(bufferLength);
  buffer_ = text;
  if (handle_) {
    OwnChange own(ownChange_);
    SetWindowTextW(Hwnd(handle_), Wide(text).c_str());
  }
  return true;
}

bool XbpBaseSLE::clear() { return setData(std::string()); }

}  // namespace rt
