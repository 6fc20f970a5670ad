#include <string>

#include "boxes.h"
#include "dbe/dbe.h"
#include "procstack.h"
#include "settings.h"
#include "startup.h"

namespace valumat {

namespace {
struct EngineEntry {
  const char* name;
  bool hidden;
};
struct CompositeEntry {
  const char* name;
  int dataEngine;   // index into the engine table, from 1
  int orderEngine;  // likewise
};

}  // namespace

void DbeSys() {
  RT_PROC("DbeSys");
  const EngineEntry aDbe[] = {
      {"DBFDBE", true},
      {"NTXDBE", true},
      {"DELDBE", false},
      {"SDFDBE", false},
  };
  const CompositeEntry aBuild[] = {
      {"DBFNTX", 1, 2},
  };

  RT_LINE;
  rt::Set(rt::kSetOptimize, 1);
  // Chosen once: switching four-digit years on later keeps this format.
  RT_LINE;
  rt::Set(rt::kSetDateFormat, rt::IsOn(rt::Set(rt::kSetCentury)) ? "dd.mm.yyyy" : "dd.mm.yy");

  for (const EngineEntry& engine : aDbe) {
    RT_LINE;
    if (!rt::DbeLoad(engine.name, engine.hidden)) {
      RT_LINE;
      rt::Alert(std::string(engine.name) + " Database-Engine nicht geladen", {"OK"});
    }
  }
  for (const CompositeEntry& composite : aBuild) {
    RT_LINE;
    if (!rt::DbeBuild(composite.name, aDbe[composite.dataEngine - 1].name, aDbe[composite.orderEngine - 1].name)) {
      RT_LINE;
      rt::Alert(std::string(composite.name) + " Database-Engine;konnte nicht erzeugt werden", {"OK"});
    }
  }
}

}  // namespace valumat
