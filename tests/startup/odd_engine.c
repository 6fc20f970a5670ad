/* Engine DLLs the runtime must refuse: NO_ENTRY builds one without the
 * registration entry, BAD_BLOCK one that hands back a pointer to nothing,
 * BAD_NAME one whose block points its name at nothing; otherwise it
 * registers ENGINE_NAME for the engine interface ABI_VERSION. */
#include "dbe/dbe_abi.h"

#ifdef NO_ENTRY
__declspec(dllexport) int __cdecl SomethingElse(void) { return 0; }
#elif defined(BAD_BLOCK)
__declspec(dllexport) const struct DbeRegistration* __cdecl DbeRegister(void) {
  return (const struct DbeRegistration*)0x10;
}
#elif defined(BAD_NAME)
static const struct DbeRegistration registration = {
    sizeof(struct DbeRegistration),
    DBE_ABI_VERSION,
    (const char*)0x20,
    DBE_KIND_DATA,
};

__declspec(dllexport) const struct DbeRegistration* __cdecl DbeRegister(void) { return &registration; }
#else
static const struct DbeRegistration registration = {
    sizeof(struct DbeRegistration),
    ABI_VERSION,
    ENGINE_NAME,
    DBE_KIND_DATA,
};

__declspec(dllexport) const struct DbeRegistration* __cdecl DbeRegister(void) { return &registration; }
#endif
