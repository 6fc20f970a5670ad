// Work areas: the numbered slots (from 1) in which database engines open
// tables, the current selection, and the operations on the selected area.
//
// Failures are raised through the installed error handler; its answer decides:
// true tries the operation again, anything else makes it answer false. A
// handler may also break out, through the operation, to the caller's recovery
// block.
#pragma once

#include <memory>
#include <string>

#include "../error.h"
#include "../value.h"

namespace rt {

// An engine's side of one open table. The runtime calls it with its work
// area selected. Each operation answers true on success; on failure it
// describes the failure in `failure` (codes, description, OS code) and
// answers false, and the runtime raises it.
class WorkAreaDriver {
 public:
  virtual ~WorkAreaDriver() = default;
  // Writes pending changes to disk.
  virtual bool commit(ErrorSpec& failure) = 0;
  // Discards uncommitted changes.
  virtual bool rollback(ErrorSpec& failure) = 0;
  // Releases the table. A failed close leaves the area open.
  virtual bool close(ErrorSpec& failure) = 0;
};

// Opens a work area for a table of `engine` in the lowest free slot, selects
// it and returns its number. The engine name becomes the subsystem of the
// area's errors.
long DbOpenArea(const std::string& engine, const std::string& alias, std::unique_ptr<WorkAreaDriver> driver);

// Numbers of the work areas in use, in ascending order, as an array.
Value WorkSpaceList();

// The selected work area (1 when nothing was selected yet).
long Select();
// Selects work area `area` (from 1, in use or not) and returns the one
// selected before; an area below 1 changes nothing.
long DbSelectArea(long area);
// Alias of the selected work area, "" when it is not in use.
std::string Alias();
bool Used();

// Selects `area` for the duration of one call and selects the previous area
// again afterwards, also when the call breaks out.
class AreaSelection {
 public:
  explicit AreaSelection(long area) : previous_(DbSelectArea(area)) {}
  ~AreaSelection() { DbSelectArea(previous_); }
  AreaSelection(const AreaSelection&) = delete;
  AreaSelection& operator=(const AreaSelection&) = delete;

 private:
  long previous_;
};
template <class F>
auto InArea(long area, F&& call) {
  AreaSelection selection(area);
  return call();
}

// Operations on the selected work area. Commit and rollback of an area that
// is not in use raise an error; closing it does nothing and answers true.
bool DbCommit();
bool DbRRollback();
bool DbCloseArea();

// Closes every work area without raising: the end of the program.
void CloseAllWorkAreas();

// Generic code of an operation on a work area that is not in use.
inline constexpr long kGenNoTable = 35;

}  // namespace rt
