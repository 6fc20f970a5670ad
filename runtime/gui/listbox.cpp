// List boxes on the standard list box control.
#include <algorithm>

#include "../events.h"
#include "listbox.h"
#include "native.h"

namespace rt {

XbpBaseListBox::XbpBaseListBox() : ListControl(ListKind::ListBox) {}

XbpWindow::NativeSpec XbpBaseListBox::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = L"LISTBOX";
  // The list keeps the height it is given, so that its lower edge stays put.
  spec.style = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | (markMode == kMarkMultiple ? LBS_EXTENDEDSEL : 0);
  spec.exStyle = border ? WS_EX_CLIENTEDGE : 0;
  spec.subclass = true;
  return spec;
}

const EventRoutes& XbpBaseListBox::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Command, LBN_SELCHANGE, kEvItemMarked, CallbackOf(&XbpBaseListBox::itemMarked)},
      {EventRoute::From::Command, LBN_DBLCLK, kEvItemSelected, CallbackOf(&XbpBaseListBox::itemSelected)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

bool XbpBaseListBox::onCommand(unsigned code) {
  // A double click where nothing is marked (an empty list) chooses nothing.
  if (code == LBN_DBLCLK && markedPositions().empty()) return true;
  return XbpWindow::onCommand(code);
}

void XbpBaseListBox::afterEvent(long event, const Value& mp1, const Value& mp2) {
  if (event == kEvKeyboard && mp1.integer() == kKeyEnter && !markedPositions().empty()) post(kEvItemSelected);
  XbpWindow::afterEvent(event, mp1, mp2);
}

bool XbpBaseListBox::setData(const Args& args) {
  const Value data = dataGiven(args);
  std::vector<long> positions;
  if (data.isArray()) {
    for (size_t i = 1; i <= data.size(); ++i) {
      if (!data.at(i).isNumber()) return false;
      positions.push_back(data.at(i).integer());
    }
  } else if (data.isNumber()) {
    positions.push_back(data.integer());
  } else if (!data.isNil()) {
    return false;
  }
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  if (positions.size() > 1 && !marksSeveral()) return false;
  if (!std::all_of(positions.begin(), positions.end(), [this](long pos) { return validPos(pos); })) return false;
  unmarkAll();
  for (long pos : positions) mark(pos, true);
  return true;
}

Value XbpBaseListBox::getData() {
  Array positions;
  for (long pos : markedPositions()) positions.push_back(pos);
  const Value data(std::move(positions));
  handToLink(data);
  return data;
}

bool XbpBaseListBox::markItem(long pos) {
  if (!validPos(pos)) return false;
  mark(pos, true);
  return true;
}

bool XbpBaseListBox::unmarkItem(long pos) {
  if (!validPos(pos)) return false;
  mark(pos, false);
  return true;
}

long XbpBaseListBox::getTopItem() const {
  if (!handle_ || numItems() == 0) return 0;
  return static_cast<long>(SendMessageW(Hwnd(handle_), LB_GETTOPINDEX, 0, 0)) + 1;
}

bool XbpBaseListBox::setTopItem(long pos) {
  return handle_ && validPos(pos) && SendMessageW(Hwnd(handle_), LB_SETTOPINDEX, pos - 1, 0) != LB_ERR;
}

}  // namespace rt
