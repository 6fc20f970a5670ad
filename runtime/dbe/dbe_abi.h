/* The contract between the runtime and a database-engine DLL.
 *
 * An engine DLL exports one C entry point, DbeRegister, which the runtime
 * calls once after loading it. It answers with a record that lives as long as
 * the DLL stays loaded. The runtime accepts the engine only when the record's
 * ABI version equals its own, the record is at least as large as this version's
 * layout, and the registered name is the one it asked for: a DLL that answers
 * for another engine is never taken for the requested one. Later versions may
 * append fields; they must raise the ABI version when a field changes meaning.
 */
#ifndef VALUMAT_DBE_ABI_H
#define VALUMAT_DBE_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define DBE_ABI_VERSION 1u
#define DBE_ENTRY_POINT "DbeRegister"

/* What an engine reads and writes. */
enum DbeKindCode {
  DBE_KIND_DATA = 1,        /* data files (tables) */
  DBE_KIND_ORDER = 2,       /* index files over a data engine's tables */
  DBE_KIND_DELIMITED = 3,   /* delimited text files */
  DBE_KIND_FIXED_WIDTH = 4  /* fixed-width text files */
};

struct DbeRegistration {
  uint32_t size;        /* sizeof(struct DbeRegistration) as the DLL knows it */
  uint32_t abiVersion;  /* DBE_ABI_VERSION the DLL was built with */
  const char* name;     /* engine name, ASCII, e.g. "DBFDBE" */
  int32_t kind;         /* one of DbeKindCode */
};

/* The host build of the portable checks knows one calling convention. */
#ifdef _WIN32
#define DBE_CALL __cdecl
#else
#define DBE_CALL
#endif
typedef const struct DbeRegistration*(DBE_CALL* DbeRegisterFn)(void);

#ifdef __cplusplus
}
#endif

#endif
