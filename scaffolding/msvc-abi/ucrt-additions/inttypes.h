// Wine's <inttypes.h>, with the UCRT's functions on intmax_t that it does not declare.
#pragma once

#include_next <inttypes.h>

#ifdef __cplusplus
extern "C" {
#endif

_ACRTIMP intmax_t __cdecl imaxabs(intmax_t);
_ACRTIMP imaxdiv_t __cdecl imaxdiv(intmax_t, intmax_t);
_ACRTIMP intmax_t __cdecl wcstoimax(const wchar_t*, wchar_t**, int);
_ACRTIMP uintmax_t __cdecl wcstoumax(const wchar_t*, wchar_t**, int);

#ifdef __cplusplus
}
#endif
