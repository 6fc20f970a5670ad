// OLE drag and drop for the runtime's windows: every window that accepts
// drops becomes a drop target. OLE costs start-up time, so it is started at
// the program's first idle moment after such a window exists, not when the
// window is created.
#pragma once

#include <windows.h>

#include <memory>

#include "../dragdata.h"

struct IDataObject;

namespace rt {

// After a window that accepts drops was created.
void RegisterDropTarget(HWND hwnd);
// While the window is being destroyed.
void RevokeDropTarget(HWND hwnd);
// Starts OLE and registers the windows waiting for it; called by the event
// loop when the thread's queue is empty. True when targets are registered.
bool StartDropTargets();
bool DropTargetsPending();

// The drag data of an OLE data object, answering until Detach: what a handler
// keeps of it past the call answers nothing.
class OleDragData final : public DragData {
  RT_CLASS_INFO("DragData", nullptr)

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
