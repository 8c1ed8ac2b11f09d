// Wine's <stdlib.h>, with atexit and at_quick_exit where the UCRT has them, in the static part of
// the runtime (vcruntime-startup): Wine's declares atexit as ucrtbase.dll's, which would make each
// module's own definition an export.
#pragma once

#define atexit __wine_atexit
#include_next <stdlib.h>
#undef atexit

// The UCRT's <stdlib.h> brings the error numbers along.
#include <errno.h>

#ifdef __cplusplus
extern "C" {
#endif

int __cdecl atexit(void(__cdecl*)(void));
int __cdecl at_quick_exit(void(__cdecl*)(void));
_ACRTIMP __declspec(noreturn) void __cdecl quick_exit(int);
_ACRTIMP unsigned int __cdecl _set_abort_behavior(unsigned int flags, unsigned int mask);

#ifdef __cplusplus
}
#endif
