/* One database engine DLL. The build compiles this file once per engine with
 * ENGINE_NAME and ENGINE_KIND set, so each DLL registers exactly the engine
 * its file name promises. The engines hold no tables of their own: nothing in
 * the program opens one, and registering is all the runtime needs of them. */
#include "dbe/dbe_abi.h"

#if !defined(ENGINE_NAME) || !defined(ENGINE_KIND)
#error "ENGINE_NAME and ENGINE_KIND must be defined by the build"
#endif

static const struct DbeRegistration registration = {
    sizeof(struct DbeRegistration),
    DBE_ABI_VERSION,
    ENGINE_NAME,
    ENGINE_KIND,
};

__declspec(dllexport) const struct DbeRegistration* __cdecl DbeRegister(void) { return &registration; }

/* The DLL needs no C runtime: its own entry point keeps loading it cheap,
 * which the program pays for four times at every start. */
int __stdcall DllMainCRTStartup(void* instance, unsigned long reason, void* reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return 1;
}
