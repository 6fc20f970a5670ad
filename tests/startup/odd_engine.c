/* Engine DLLs the runtime must refuse: NO_ENTRY builds one without the
 * registration entry; otherwise it registers ENGINE_NAME for the engine
 * interface ABI_VERSION. */
#include "dbe/dbe_abi.h"

#ifdef NO_ENTRY
__declspec(dllexport) int __cdecl SomethingElse(void) { return 0; }
#else
static const struct DbeRegistration registration = {
    sizeof(struct DbeRegistration),
    ABI_VERSION,
    ENGINE_NAME,
    DBE_KIND_DATA,
};

__declspec(dllexport) const struct DbeRegistration* __cdecl DbeRegister(void) { return &registration; }
#endif
