#include "modal.h"

#include "events.h"
#include "exception.h"
#include "procstack.h"

namespace valumat {

using namespace rt;

namespace {

bool IsForm(const XbpWindow& w) { return w.isDerivedFrom("XbpDialog") || w.isDerivedFrom("XbpCrt"); }

bool IsNoResult(const Value& v) { return v.isNumber() && v.number() == 0; }

// The window itself or one of its controls.
bool InsideOf(const ObjectRef& object, const WindowRef& window) {
  for (auto w = std::dynamic_pointer_cast<XbpWindow>(object); w; w = w->setParent()) {
    if (w == window) return true;
  }
  return false;
}

}  // namespace

Value DisplayModalDlg(const Value& windowArg, const Value& initialFocus) {
  RT_PROC("DisplayModalDlg");
  const WindowRef before = SetAppFocus();
  // Held for the whole run: a handler may destroy the window and with it
  // drop every other reference to the object.
  const WindowRef window = windowArg.as<XbpWindow>();
  auto* modal = dynamic_cast<ModalWindow*>(window.get());
  if (!window || !IsForm(*window) || !modal) return -1;

  if (!window->isVisible()) window->show();
  SetAppFocus(window);
  if (const WindowRef first = initialFocus.as<XbpWindow>()) SetAppFocus(first);
  const bool ownerApart = window->setOwner() != window->setParent();
  if (ownerApart) window->setModalState(2);
  modal->ModalResult = 0;
  modal->IsModal = true;

  Value result = 0;
  // A window without a native one could not be shown: nothing would ever
  // end the wait for its events.
  bool running = window->isCreated();
  if (!running) result = 2;
  try {
    Value mp1, mp2;
    ObjectRef object;
    while (running) {
      const long code = AppEvent(mp1, mp2, object);
      if (const Value handler = SetAppEvent(code); handler.isBlock()) handler.eval({mp1, mp2, Value(object)});
      if (object) object->handleEvent(code, mp1, mp2);
      // Escape in the window cancels the run, as its close button does.
      if (code == kEvKeyboard && mp1 == kKeyEsc && IsNoResult(modal->ModalResult) && InsideOf(object, window)) {
        window->handleEvent(kEvClose, Value(), Value());
        result = 2;
        running = false;
      }
      // The window's own close event; other windows may close meanwhile.
      if (code == kEvClose && object == window) {
        result = 2;
        running = false;
      }
      if (code == kEvQuit) {
        // The program is asked to end: that is its own loop's decision.
        PostAppEvent(code, mp1, mp2, object);
        result = 2;
        running = false;
      }
      if (!window->isVisible()) {
        result = 2;
        running = false;
      }
      if (!IsNoResult(modal->ModalResult)) {
        result = modal->ModalResult;
        running = false;
      }
    }
  } catch (...) {
    // A handler broke out of the run: the owner must not stay disabled.
    if (ownerApart) window->setModalState(1);
    modal->IsModal = false;
    throw;
  }

  if (!(modal->ModalResult == result)) modal->ModalResult = result;
  if (ownerApart) {
    window->setModalState(1);
    SetAppFocus(window->setOwner());
  }
  modal->IsModal = false;
  if (before != window) SetAppFocus(before);
  window->hide();
  return result;
}

Value ModalWindow::showModal(const Value& self, const Value& initialFocus) {
  IsModal = true;
  DisplayModalDlg(self, initialFocus);
  IsModal = false;
  return ModalResult;
}

Value GetParentForm(const Value& control) {
  const WindowRef start = control.as<XbpWindow>();
  if (!start) return Value();
  WindowRef form = start->setParent();
  while (form && !IsForm(*form)) form = form->setParent();
  return Value(form);
}

Value CenterControl(const Args& args) {
  RT_PROC("CenterControl");
  const Value control = Arg(args, 1);
  // Every raise reports the control argument alone, also for a wrong target.
  const Value reported = Value(Array{control});
  if (args.empty()) {
    RT_LINE;
    XbpException()->raiseParameterCount({reported});
  }
  const WindowRef window = control.as<XbpWindow>();
  if (!window) {
    RT_LINE;
    XbpException()->raiseParameterType({reported});
    return Value();  // the handler let it go on, but there is nothing to move
  }
  const WindowRef parent = window->setParent();
  const Value given = Arg(args, 2);
  const WindowRef target = given.isNil() ? parent : given.as<XbpWindow>();
  if (!target) {
    RT_LINE;
    XbpException()->raiseParameterType({reported});
    return Value();
  }
  const Value outer = target->currentSize(), inner = window->currentSize();
  Value pos{(outer.at(1).number() - inner.at(1).number()) / 2, (outer.at(2).number() - inner.at(2).number()) / 2};
  if (target != parent) pos = target->mapPoint(parent, pos);
  window->setPos(pos);
  return Value();
}

}  // namespace valumat
