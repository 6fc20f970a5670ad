// Database engines: the engine DLLs beside the executable, their
// registrations, and the composites built from them.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "../dbe/dbe.h"
#include "../dbe/dbe_abi.h"
#include "../dbe/registration.h"
#include "../dbe/workarea.h"
#include "handle.h"
#include "base.h"

namespace rt {

namespace {

struct Engine {
  DbeInfo info;
  OwnedModule module;  // empty for composites
};

std::vector<Engine>& Engines() {
  static std::vector<Engine> engines;
  return engines;
}

std::string& DefaultEngine() {
  static std::string name;
  return name;
}

Engine* Find(std::string_view name) {
  for (Engine& e : Engines()) {
    if (EqualsNoCase(e.info.name, name)) return &e;
  }
  return nullptr;
}

// The name becomes a file name, so it must not be able to name anything but a
// DLL in the program's folder: letters, digits and underscores only.
bool IsEngineName(std::string_view name) {
  if (name.empty() || name.size() > 32) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
}

// Whether `size` bytes from `address` can be read: foreign code may hand
// back any pointer, and reading a bad one would end the program.
bool Readable(const void* address, size_t size) {
  auto p = reinterpret_cast<uintptr_t>(address);
  const uintptr_t end = p + size;
  if (!address || end < p) return false;
  while (p < end) {
    MEMORY_BASIC_INFORMATION info{};
    if (!VirtualQuery(reinterpret_cast<const void*>(p), &info, sizeof info) || info.State != MEM_COMMIT) return false;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (!(info.Protect & readable) || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS))) return false;
    p = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
  }
  return true;
}


}  // namespace

bool DbeLoad(std::string_view name, bool hidden) {
  if (!IsEngineName(name)) return false;
  if (Engine* loaded = Find(name)) return loaded->info.kind != DbeKind::Composite;

  const std::wstring folder = ProgramFolder();
  if (folder.empty()) return false;
  const std::wstring file = folder + std::wstring(name.begin(), name.end()) + L".DLL";
  // A full path loads that file and no other; the altered search path makes
  // the engine's own imports resolve from its folder too, not the current one.
  // No error boxes from the loader: a broken DLL is reported by the result.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  OwnedModule module(LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  SetErrorMode(oldMode);
  if (!module) return false;

  const auto entry = reinterpret_cast<DbeRegisterFn>(
      reinterpret_cast<void*>(GetProcAddress(module.get(), DBE_ENTRY_POINT)));
  if (!entry) return false;
  // Checked before use: a bad block is a failed load, not a crash.
  const DbeRegistration* reg = entry();
  const std::optional<std::string> registered = RegisteredName(reg, Readable);
  if (!registered || !EqualsNoCase(*registered, name)) return false;

  DbeRegistration block;
  std::memcpy(&block, reg, sizeof block);  // readable, and maybe not aligned
  Engine engine{{*registered, static_cast<DbeKind>(block.kind), hidden, {}, {}}, std::move(module)};
  Engines().push_back(std::move(engine));
  return true;
}

bool DbeBuild(std::string_view name, std::string_view dataEngine, std::string_view orderEngine) {
  if (!IsEngineName(name)) return false;
  const Engine* data = Find(dataEngine);
  const Engine* order = Find(orderEngine);
  if (!data || data->info.kind != DbeKind::Data || !order || order->info.kind != DbeKind::Order) return false;
  if (const Engine* existing = Find(name)) {
    return existing->info.kind == DbeKind::Composite && EqualsNoCase(existing->info.dataEngine, data->info.name) &&
           EqualsNoCase(existing->info.orderEngine, order->info.name);
  }
  Engines().push_back({{std::string(name), DbeKind::Composite, false, data->info.name, order->info.name}, {}});
  return true;
}

std::vector<DbeInfo> DbeLoaded() {
  std::vector<DbeInfo> list;
  for (const Engine& e : Engines()) list.push_back(e.info);
  return list;
}

bool DbeIsLoaded(std::string_view name) { return Find(name) != nullptr; }

std::string DbeSetDefault() { return DefaultEngine(); }

bool DbeSetDefault(std::string_view name) {
  const Engine* engine = Find(name);
  if (!engine || engine->info.hidden) return false;
  DefaultEngine() = engine->info.name;
  return true;
}

void DbeShutdown() {
  CloseAllWorkAreas();
  DefaultEngine().clear();
  // Composites first, then the DLLs in the reverse order of loading.
  std::vector<Engine>& engines = Engines();
  while (!engines.empty()) engines.pop_back();
}

}  // namespace rt
