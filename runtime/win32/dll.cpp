// Native library calls: loading by the system's or the program's folder,
// and calls with the standard calling convention whatever the entry point
// does to the stack.
#include "../dll.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "../error.h"
#include "base.h"
#include "dyncalls.h"

namespace rt {

namespace {

// The 32 bits a number stands for: handles and flags above 2^31 may come as
// large positive numbers or, as DllCall answers them, as negative ones.
bool Word32(double value, uint32_t& word) {
  const double n = std::trunc(value);
  if (!std::isfinite(n) || n < -2147483648.0 || n > 4294967295.0) return false;
  word = static_cast<uint32_t>(static_cast<int64_t>(n));
  return true;
}

HMODULE ModuleOf(const Value& library) {
  uint32_t word = 0;
  if (!library.isNumber() || !Word32(library.number(), word)) return nullptr;
  return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(word));
}

Value HandleValue(HMODULE module) { return Value(static_cast<double>(reinterpret_cast<uintptr_t>(module))); }

bool HasFolder(const std::wstring& name) { return name.find_first_of(L"\\/:") != std::wstring::npos; }

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(folder, n) + L"\\" : std::wstring();
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The 32-bit value an argument goes to the entry point as, and what must
// live for the call: the bytes of a text.
struct Passed {
  uint32_t word = 0;
  std::string bytes;   // a text, with its zero byte
  int32_t number = 0;  // a number by reference
};

bool Prepare(const DllArg& arg, Passed& passed) {
  const Value& v = arg.value();
  if (v.isText()) {
    passed.bytes = v.text();
    passed.bytes.push_back('\0');
    return true;
  }
  if (v.isNumber()) {
    if (!Word32(v.number(), passed.word)) return false;
    passed.number = static_cast<int32_t>(passed.word);
    return true;
  }
  if (v.isLogical()) {
    passed.word = v.logical() ? 1 : 0;
    passed.number = static_cast<int32_t>(passed.word);
    return true;
  }
  if (v.isNil()) return true;
  return false;
}

// Pushes the arguments and calls; the stack pointer is restored from a saved
// copy afterwards, so an entry point that removes more or fewer arguments
// than it was given cannot unbalance the caller's stack.
uint32_t CallStandard(FARPROC entry, const uint32_t* words, uint32_t count) {
  uint32_t result;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "movl %[count], %%ecx\n\t"
      "1:\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "pushl -4(%[words],%%ecx,4)\n\t"
      "decl %%ecx\n\t"
      "jmp 1b\n\t"
      "2:\n\t"
      "call *%[entry]\n\t"
      "movl %%esi, %%esp\n\t"
      : "=a"(result)
      : [entry] "r"(entry), [words] "r"(words), [count] "r"(count)
      : "ecx", "edx", "esi", "memory", "cc");
  return result;
}

Value Refuse(long genCode, const std::string& description, const std::string& entry, long osCode) {
  ErrorSpec spec;
  spec.genCode = genCode;
  spec.osCode = osCode;
  spec.operation = "DllCall";
  spec.description = description;
  spec.args = Value{Value(entry)};
  RaiseError(spec);
  return Value(0);
}

class SystemLibraries final : public LibraryCalls {
 public:
  Value load(const std::string& name) override {
    const std::wstring wide = Wide(name);
    if (wide.empty()) return Value(0);
    std::wstring file = wide;
    if (!HasFolder(wide)) {
      // Never the current folder, never the search path: the system folder
      // for the system's libraries, else the program's folder.
      const std::wstring system = SystemFolder() + wide;
      file = IsFile(system) ? system : ProgramFolder() + wide;
    }
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    SetErrorMode(oldMode);
    return HandleValue(module);
  }

  Value call(const Value& library, long convention, const std::string& entry, std::span<DllArg> args) override {
    if (convention != kDllStdcall) {
      std::string what = "Aufrufkonvention wird nicht unterst\x81tzt: ";
      what += std::to_string(convention);
      return Refuse(1, what, entry, 0);
    }
    if (args.size() > kDllMaxArgs) {
      std::string what = "Zu viele Parameter f\x81r ";
      what += entry + " (h\x94" "chstens " + std::to_string(kDllMaxArgs) + ")";
      return Refuse(3, what, entry, 0);
    }
    std::vector<Passed> passed(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
      if (!Prepare(args[i], passed[i])) {
        std::string what = "Parameter ";
        what += std::to_string(i + 1) + " kann nicht an " + entry + " \x81" "bergeben werden";
        return Refuse(2, what, entry, 0);
      }
    }
    HMODULE module = ModuleOf(library);
    SetLastError(0);
    FARPROC address = module ? GetProcAddress(module, entry.c_str()) : nullptr;
    if (!address) {
      const long os = module ? static_cast<long>(GetLastError()) : ERROR_INVALID_HANDLE;
      return Refuse(12, "Einsprungpunkt nicht gefunden: " + entry, entry, os);
    }
    uint32_t words[kDllMaxArgs] = {};
    for (size_t i = 0; i < args.size(); ++i) {
      Passed& p = passed[i];
      if (!p.bytes.empty()) {
        p.word = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p.bytes.data()));
      } else if (args[i].variable()) {
        p.word = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&p.number));
      }
      words[i] = p.word;
    }
    const uint32_t result = CallStandard(address, words, static_cast<uint32_t>(args.size()));
    // What the entry point wrote comes back into the caller's variables, at
    // their length.
    for (size_t i = 0; i < args.size(); ++i) {
      Value* variable = args[i].variable();
      if (!variable) continue;
      if (variable->isText()) {
        *variable = Value(passed[i].bytes.substr(0, passed[i].bytes.size() - 1));
      } else if (variable->isNumber() || variable->isNil() || variable->isLogical()) {
        *variable = Value(static_cast<long>(passed[i].number));
      }
    }
    // Signed, as the entry points declare their int results: -1 (GDI_ERROR)
    // stays -1.
    return Value(static_cast<double>(static_cast<int32_t>(result)));
  }

  bool unload(const Value& library) override {
    HMODULE module = ModuleOf(library);
    return module && FreeLibrary(module);
  }
};

SystemLibraries g_system;
LibraryCalls* g_inForce = &g_system;

}  // namespace

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

LibraryCalls& Libraries() { return *g_inForce; }

void LoadDeferredLibraries() { dyn::UseThemedLibraries(); }

LibraryCalls* SetLibraries(LibraryCalls* calls) { return std::exchange(g_inForce, calls ? calls : &g_system); }

Value DllLoad(const std::string& name) { return Libraries().load(name); }

Value DllCall(const Value& library, long convention, const std::string& entry, std::vector<DllArg> args) {
  return Libraries().call(library, convention, entry, args);
}

bool DllUnload(const Value& library) { return Libraries().unload(library); }

}  // namespace rt
