// Wine's <stdio.h>, with the UCRT's inline scanf functions that take a va_list.
#pragma once

#include_next <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

static __inline int __cdecl vfscanf(FILE* stream, const char* format, va_list args) {
  return __stdio_common_vfscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, stream, format, NULL, args);
}
static __inline int __cdecl vscanf(const char* format, va_list args) {
  return vfscanf(stdin, format, args);
}
static __inline int __cdecl vsscanf(const char* buffer, const char* format, va_list args) {
  return __stdio_common_vsscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, buffer, (size_t)-1, format,
                                NULL, args);
}

#ifdef __cplusplus
}
#endif
