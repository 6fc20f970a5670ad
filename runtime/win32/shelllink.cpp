// Shortcut files resolved through the shell's own link object.
#include <shlobj.h>

#include "../files.h"
#include "base.h"
#include "dyncalls.h"

namespace rt {

namespace {
template <class I>
struct Com {
  I* p = nullptr;
  ~Com() {
    if (p) p->Release();
  }
  I* operator->() const { return p; }
};
}  // namespace

std::string ShellLinkResolve(const std::string& link) {
  const dyn::OleApi* ole = dyn::UseOle();
  if (!ole) return std::string();
  Com<IShellLinkW> shellLink;
  if (FAILED(ole->coCreateInstance(dyn::kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, dyn::kIidShellLinkW,
                                   reinterpret_cast<void**>(&shellLink.p)))) {
    return std::string();
  }
  Com<IPersistFile> file;
  if (FAILED(shellLink->QueryInterface(dyn::kIidPersistFile, reinterpret_cast<void**>(&file.p)))) return std::string();
  if (FAILED(file->Load(Wide(link).c_str(), STGM_READ))) return std::string();
  // No window, no search for a moved target, and the link file is left as
  // it is.
  if (FAILED(shellLink->Resolve(nullptr, SLR_NO_UI | SLR_NOSEARCH | SLR_NOTRACK | SLR_NOUPDATE))) return std::string();
  wchar_t target[MAX_PATH * 2] = {};
  if (shellLink->GetPath(target, static_cast<int>(std::size(target)), nullptr, 0) != S_OK) return std::string();
  return Narrow(target);
}

}  // namespace rt
