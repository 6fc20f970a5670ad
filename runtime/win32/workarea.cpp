// Work areas and the operations on the selected one.
#include <map>

#include "../dbe/workarea.h"

namespace rt {

namespace {

struct Area {
  std::string engine;
  std::string alias;
  std::unique_ptr<WorkAreaDriver> driver;
};

// Ordered by number, so the list of areas in use comes out ascending.
std::map<long, Area>& Areas() {
  static std::map<long, Area> areas;
  return areas;
}

long g_selected = 1;

Area* Current() {
  auto it = Areas().find(g_selected);
  return it == Areas().end() ? nullptr : &it->second;
}

using Operation = bool (WorkAreaDriver::*)(ErrorSpec&);

// Runs one driver operation on area `number` and raises its failures until it
// succeeds or the handler declines a retry. The area is looked up afresh on
// every try: the handler may have closed it.
bool Perform(long number, Operation op, const char* name) {
  for (long tries = 1;; ++tries) {
    auto it = Areas().find(number);
    if (it == Areas().end()) {
      ErrorSpec spec;
      spec.genCode = kGenNoTable;
      spec.subSystem = "DBCMD";
      spec.operation = name;
      spec.description = "Arbeitsbereich nicht belegt";
      RaiseError(spec);
      return false;
    }
    Area& area = it->second;
    ErrorSpec failure;
    if ((area.driver.get()->*op)(failure)) return true;
    failure.subSystem = area.engine;
    failure.operation = name;
    failure.canRetry = true;
    ErrorRef error = MakeError(failure);
    error->tries = tries;
    const Value answer = RaiseError(error);
    if (!(answer.isLogical() && answer.logical())) return false;
  }
}

}  // namespace

long DbOpenArea(const std::string& engine, const std::string& alias, std::unique_ptr<WorkAreaDriver> driver) {
  long number = 1;
  for (const auto& [n, area] : Areas()) {
    if (n != number) break;
    ++number;
  }
  Areas().emplace(number, Area{engine, alias, std::move(driver)});
  g_selected = number;
  return number;
}

Value WorkSpaceList() {
  Array list;
  for (const auto& entry : Areas()) list.push_back(entry.first);
  return list;
}

long Select() { return g_selected; }

long DbSelectArea(long area) {
  const long previous = g_selected;
  if (area >= 1) g_selected = area;
  return previous;
}

std::string Alias() {
  const Area* area = Current();
  return area ? area->alias : std::string();
}

bool Used() { return Current() != nullptr; }

bool DbCommit() { return Perform(g_selected, &WorkAreaDriver::commit, "DbCommit"); }

bool DbRRollback() { return Perform(g_selected, &WorkAreaDriver::rollback, "DbRRollback"); }

bool DbCloseArea() {
  const long number = g_selected;
  if (!Areas().count(number)) return true;
  if (!Perform(number, &WorkAreaDriver::close, "DbCloseArea")) return false;
  Areas().erase(number);
  return true;
}

void CloseAllWorkAreas() {
  for (auto& entry : Areas()) {
    ErrorSpec ignored;
    AreaSelection selection(entry.first);
    try {
      entry.second.driver->close(ignored);
    } catch (...) {
      // Nobody is left to tell; the process is ending.
    }
  }
  Areas().clear();
}

}  // namespace rt
