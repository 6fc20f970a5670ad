// Database engines: loadable components, one DLL each, that the program loads
// from its own folder, and composites built from a data and an order engine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rt {

enum class DbeKind {
  Data = 1,        // data files (DBFDBE)
  Order = 2,       // index files over a data engine's tables (NTXDBE)
  Delimited = 3,   // delimited text files (DELDBE)
  FixedWidth = 4,  // fixed-width text files (SDFDBE)
  Composite = 5,   // a data engine combined with an order engine (DBFNTX)
};

// Loads engine `name` from NAME.DLL in the folder of the program's executable
// (never from the current folder or the search path) and takes its
// registration. False when the name is not a plain engine name, the DLL is
// missing or cannot be loaded, lacks the registration entry, was built for
// another engine interface, or registers another name. A hidden engine serves
// only as a component of composites and cannot be the default engine. Loading
// a loaded engine again answers true and keeps the first load.
bool DbeLoad(std::string_view name, bool hidden = false);

// Builds the composite `name` from a loaded data engine and a loaded order
// engine. False when either is not loaded or is of another kind, or when the
// name is already taken by an engine or by a composite of other components;
// building the same composite again answers true.
bool DbeBuild(std::string_view name, std::string_view dataEngine, std::string_view orderEngine);

struct DbeInfo {
  std::string name;  // as the engine registered it
  DbeKind kind;
  bool hidden;
  std::string dataEngine, orderEngine;  // components of a composite
};
// Engines loaded and composites built, in the order they came.
std::vector<DbeInfo> DbeLoaded();
// Whether `name` is loaded or built (case-insensitive).
bool DbeIsLoaded(std::string_view name);

// The default engine for opening tables: "" until one is set. Setting answers
// false, and changes nothing, for a hidden or unknown engine.
std::string DbeSetDefault();
bool DbeSetDefault(std::string_view name);

// Forgets every engine and composite and frees the engine DLLs; work areas
// still open are closed first, since their code may live in those DLLs. Runs
// once when the program ends; the program may load engines again afterwards.
void DbeShutdown();

}  // namespace rt
