#include "nativecalls.h"

#include <cstdint>
#include <string>
#include <vector>

#include "dll.h"

namespace valumat {

namespace {

// Loads `library`, calls `entry` with the arguments, releases the library.
// The handle is not tested: a library that cannot be loaded makes the call
// fail as the library-call facility reports it.
rt::Value Forward(const char* library, const char* entry, std::vector<rt::DllArg> args) {
  const rt::Value handle = rt::DllLoad(library);
  const rt::Value result = rt::DllCall(handle, rt::kDllStdcall, entry, std::move(args));
  rt::DllUnload(handle);
  return result;
}

bool NonZero(const rt::Value& v) { return v.isNumber() && v.number() != 0; }

}  // namespace

void PutInt32(std::string& record, long value) {
  const auto u = static_cast<uint32_t>(static_cast<int32_t>(value));
  for (int i = 0; i < 4; ++i) record.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

int32_t Int32At(const std::string& record, size_t offset) {
  uint32_t n = 0;
  for (size_t i = 0; i < 4 && offset + i < record.size(); ++i) {
    n |= static_cast<uint32_t>(static_cast<unsigned char>(record[offset + i])) << (8 * i);
  }
  return static_cast<int32_t>(n);
}

rt::Value SetTextAlign(const rt::Value& hdc, const rt::Value& mode) {
  return Forward("GDI32.DLL", "SetTextAlign", {hdc, mode});
}

rt::Value DrawTextA(const rt::Value& hdc, const rt::Value& text, const rt::Value& length, rt::Value& rect,
                    const rt::Value& format) {
  return Forward("USER32.DLL", "DrawTextA", {hdc, text, length, rt::DllRef(rect), format});
}

rt::Value GetModuleHandleA(const rt::Value& name) {
  return Forward("KERNEL32.DLL", "GetModuleHandleA", {name});
}

bool IsThemeActive(const rt::Value& checkAppGiven) {
  const bool checkApp = checkAppGiven.isNil() || checkAppGiven.logical();
  // What the runtime has put off loading counts as loaded, as it is from the
  // start in a program with the manifest.
  rt::LoadDeferredLibraries();
  const rt::Value uxtheme = GetModuleHandleA("uxtheme.dll");
  if (!NonZero(uxtheme)) return false;
  const bool active = NonZero(rt::DllCall(uxtheme, rt::kDllStdcall, "IsThemeActive"));
  if (!active || !checkApp) return active;
  if (!NonZero(rt::DllCall(uxtheme, rt::kDllStdcall, "IsAppThemed"))) return false;
  // DLLVERSIONINFO: its size, then major, minor, build and platform.
  std::string record;
  PutInt32(record, 20);
  record.append(16, '\0');
  rt::Value versionInfo = record;
  const rt::Value comctl = GetModuleHandleA("comctl32.dll");
  if (!NonZero(comctl)) return false;
  const rt::Value answer = rt::DllCall(comctl, rt::kDllStdcall, "DllGetVersion", {rt::DllRef(versionInfo)});
  return answer.isNumber() && answer.number() == 0 && Int32At(versionInfo.text(), 4) > 5;
}

}  // namespace valumat
