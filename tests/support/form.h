// The form the in-process GUI tests put their controls on: a dialog of a
// given size and title on the desktop, created; controls added to its drawing
// area; shown with the focus and the queue drained; destroyed, and the queue
// drained, at the end. Header-only, like event_loop.h.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "dialog.h"
#include "support/event_loop.h"

namespace guitest {

struct Form {
  std::shared_ptr<valumat::XbpDialog> dlg;
  rt::WindowRef area;  // the dialog's drawing area, parent of the controls

  // Created, not yet shown: add the controls, then show().
  explicit Form(const rt::Value& size = rt::Value{320, 240}, const std::string& title = "",
                const rt::Value& pos = rt::Value{100, 100})
      : dlg(rt::New<valumat::XbpDialog>({rt::AppDesktop(), rt::NIL, pos, size, rt::NIL, false})) {
    if (!title.empty()) dlg->title = title;
    dlg->create();
    area = dlg->drawingArea();
  }
  ~Form() {
    dlg->destroy();
    Drain();
  }
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // A control of kind T on the drawing area, set up by `setUp`, then created.
  template <class T>
  std::shared_ptr<T> add(const rt::Value& pos, const rt::Value& size, const std::function<void(T&)>& setUp = {},
                         const rt::Value& presentation = rt::NIL) {
    auto control = rt::New<T>({area, rt::NIL, pos, size, presentation});
    if (setUp) setUp(*control);
    control->create();
    return control;
  }

  // Shows the dialog with the focus, on `focus` when given, and drains.
  void show(const rt::WindowRef& focus = nullptr) {
    dlg->show();
    rt::SetAppFocus(dlg);
    if (focus) rt::SetAppFocus(focus);
    Drain();
  }
};

// A form shown at once, for controls added while it shows.
struct ShownForm : Form {
  explicit ShownForm(const rt::Value& size = rt::Value{320, 240}, const std::string& title = "",
                     const rt::Value& pos = rt::Value{100, 100})
      : Form(size, title, pos) {
    show();
  }
};

}  // namespace guitest
