// Single entry points of Windows system libraries, reached by library and
// entry-point name through DllLoad/DllCall/DllUnload; each call loads its
// library and releases it again. And theme detection on top of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "value.h"

namespace valumat {

// Records handed to entry points are bytes: 32-bit integers little-endian.
void PutInt32(std::string& record, long value);
// The integer at `offset`; bytes past the record's end count as 0.
int32_t Int32At(const std::string& record, size_t offset);

// "SetTextAlign" of GDI32.DLL: device context, alignment mode; the previous
// alignment.
rt::Value SetTextAlign(const rt::Value& hdc, const rt::Value& mode);
// "DrawTextA" of USER32.DLL: device context, text, its length, the 16-byte
// rectangle (left, top, right, bottom as 32-bit little-endian integers; the
// entry point may write it back, as DT_CALCRECT does), format flags. The
// drawn height; 0 on failure.
rt::Value DrawTextA(const rt::Value& hdc, const rt::Value& text, const rt::Value& length, rt::Value& rect,
                    const rt::Value& format);
// "GetModuleHandleA" of KERNEL32.DLL: the handle of a module loaded in the
// process, 0 when it is not loaded.
rt::Value GetModuleHandleA(const rt::Value& name);

// Whether visual themes are in effect; with `checkApp` true (or NIL) also
// for this application, with common controls of version 6 or later. Asks
// anew on every call. The libraries the runtime defers to their first need
// are loaded first (LoadDeferredLibraries), so that the answer is the one a
// program with the manifest gets at any moment; no other library is loaded.
bool IsThemeActive(const rt::Value& checkApp = rt::Value());

}  // namespace valumat
