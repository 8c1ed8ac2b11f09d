// Wine's <time.h>, with the UCRT's inline functions over their 64-bit forms.
#pragma once

#include_next <time.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifndef _TIMESPEC_DEFINED
#define _TIMESPEC_DEFINED
struct timespec {
  time_t tv_sec;
  long tv_nsec;
};
#endif
#define TIME_UTC 1

_ACRTIMP int __cdecl _timespec64_get(struct timespec*, int);
static __inline int __cdecl timespec_get(struct timespec* time, int base) {
  return _timespec64_get(time, base);
}
static __inline errno_t __cdecl localtime_s(struct tm* result, const time_t* time) {
  return _localtime64_s(result, time);
}

#ifdef __cplusplus
}
#endif
