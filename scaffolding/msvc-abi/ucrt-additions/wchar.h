// Wine's <wchar.h>, with mbstate_t as the UCRT lays it out (<corecrt.h>) and the UCRT's inline
// functions.
#pragma once

// Wine's header calls its own `int` mbstate_t by another name.
#define mbstate_t __wine_int_mbstate_t
#include_next <wchar.h>
#undef mbstate_t

#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef _Mbstatet mbstate_t;

_ACRTIMP long double __cdecl wcstold(const wchar_t*, wchar_t**);

static __inline int __cdecl fwide(FILE* stream, int mode) {
  (void)stream;
  return mode;
}
static __inline int __cdecl mbsinit(const mbstate_t* state) {
  return state == NULL || state->_Wchar == 0;
}
static __inline int __cdecl vfwscanf(FILE* stream, const wchar_t* format, va_list args) {
  return __stdio_common_vfwscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, stream, format, NULL, args);
}
static __inline int __cdecl vwscanf(const wchar_t* format, va_list args) {
  return vfwscanf(stdin, format, args);
}
static __inline int __cdecl vswscanf(const wchar_t* buffer, const wchar_t* format, va_list args) {
  return __stdio_common_vswscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, buffer, (size_t)-1, format,
                                 NULL, args);
}

#ifdef __cplusplus
}
#endif
