// OLE drag and drop for the runtime's windows: every window that accepts
// drops becomes a drop target. OLE costs start-up time, so the targets start
// after it: at once when the program is deactivated or is not the active one
// at its first idle moment, else a moment later, about a quarter second after
// the window shows (a drag can come from a window that never takes the
// activation); from then on a new window becomes a target as it is created.
#pragma once

#include <memory>

#include "../dragdata.h"
#include "native.h"

struct IDataObject;

namespace rt {

// After a window that accepts drops was created.
void RegisterDropTarget(HWND hwnd);
// While the window is being destroyed.
void RevokeDropTarget(HWND hwnd);
// The event loop, when the thread's queue is empty and windows wait: starts
// the targets when the program is not the active one, else arms their start
// a moment later while one of those windows shows.
void StartDropTargetsWhenIdle();
// WM_ACTIVATEAPP: deactivation starts the targets, unless every window
// waiting for them is hidden (a closing window hands the activation on).
void OnActivateApp(bool active);
// Starts OLE and registers the windows waiting for it. True when targets
// are registered.
bool StartDropTargets();
bool DropTargetsPending();

// The drag data of an OLE data object, answering until Detach: what a handler
// keeps of it past the call answers nothing.
class OleDragData final : public DragData {
 public:
  explicit OleDragData(IDataObject* data);
  ~OleDragData() override;
  OleDragData(const OleDragData&) = delete;
  OleDragData& operator=(const OleDragData&) = delete;

  Value GetFormats() override;
  Value GetData(long format) override;
  void Detach();

 private:
  IDataObject* data_;
};

}  // namespace rt
