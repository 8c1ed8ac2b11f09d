// Wine's <eh.h> declares the UCRT's terminate and handler functions with C++ linkage; the UCRT's
// own has C linkage, which is what ucrtbase.dll exports.
#pragma once

extern "C" {
#include_next <eh.h>

_ACRTIMP terminate_handler __cdecl _get_terminate(void);
_ACRTIMP unexpected_handler __cdecl _get_unexpected(void);
}
