// Modal runs of dialog and text-mode windows, and placing controls.
//
//   oDlg->ModalResult = 0;
//   rt::Value result = DisplayModalDlg(oDlg, oFirstField);
//
// runs a local event loop that hands every event of the thread to its object
// (so other windows keep working) until the window gets its close event,
// becomes invisible, or a handler stores a result in ModalResult.
#pragma once

#include "value.h"
#include "gui/window.h"

namespace valumat {

// What a window that runs modally carries. XbpDialog has it; any other class
// that runs modally (the text-mode window) derives from it as well.
class ModalWindow {
 public:
  virtual ~ModalWindow() = default;
  // The result of the last modal run: 0 none yet, 2 closed or hidden without
  // one, anything else what a handler stored.
  rt::Value ModalResult = 0;
  // True exactly while a modal run of this window is in progress.
  bool IsModal = false;

 protected:
  // The end of the class's init: not modal, no result.
  void resetModal() {
    IsModal = false;
    ModalResult = 0;
  }
  // The class's ShowModal; `self` is the window object itself.
  rt::Value showModal(const rt::Value& self, const rt::Value& initialFocus);
};

// Runs `window` modally: shown, focused (then `initialFocus`, if given), its
// owner disabled when the owner is not also its parent. Returns the result
// (ModalResult's rule), or -1 at once when `window` is no dialog or text-mode
// window. The window is hidden at the end and the focus goes back to the
// control that had it. A window destroyed by a handler ends the run with 2.
rt::Value DisplayModalDlg(const rt::Value& window, const rt::Value& initialFocus = rt::Value());

// The nearest dialog or text-mode window above `control` in its parent chain
// (never the control itself); NIL when there is none or `control` is none.
rt::Value GetParentForm(const rt::Value& control);

// Arguments: the control, and the window to centre it in (default its
// parent). Moves the control to the centre, exactly: the position may be
// fractional or negative and is rounded only as it becomes pixels. A missing
// or wrong argument is raised through XbpException with {control} as args;
// when the handler lets it go on, nothing is moved. Returns NIL.
rt::Value CenterControl(const rt::Args& args);

}  // namespace valumat
