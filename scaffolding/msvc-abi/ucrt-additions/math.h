// Wine's <math.h>, with what the UCRT's adds: the long double functions, which the UCRT defines
// inline over the double ones (long double is double there), the C99 functions that Wine
// exports but does not declare, and, for C++, the classification and comparison functions as
// functions rather than Wine's macros, as Microsoft's STL expects them.
#pragma once

#include_next <math.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef double double_t;
typedef float float_t;

_ACRTIMP double __cdecl erfc(double);
_ACRTIMP float __cdecl erfcf(float);
_ACRTIMP double __cdecl fma(double, double, double);
_ACRTIMP float __cdecl fmaf(float, float, float);
_ACRTIMP double __cdecl nan(const char*);
_ACRTIMP float __cdecl nanf(const char*);
_ACRTIMP double __cdecl nexttoward(double, long double);
_ACRTIMP float __cdecl nexttowardf(float, long double);

static __inline long double __cdecl acosl(long double x) { return acos((double)x); }
static __inline long double __cdecl acoshl(long double x) { return acosh((double)x); }
static __inline long double __cdecl asinl(long double x) { return asin((double)x); }
static __inline long double __cdecl asinhl(long double x) { return asinh((double)x); }
static __inline long double __cdecl atanl(long double x) { return atan((double)x); }
static __inline long double __cdecl atanhl(long double x) { return atanh((double)x); }
static __inline long double __cdecl cbrtl(long double x) { return cbrt((double)x); }
static __inline long double __cdecl ceill(long double x) { return ceil((double)x); }
static __inline long double __cdecl cosl(long double x) { return cos((double)x); }
static __inline long double __cdecl coshl(long double x) { return cosh((double)x); }
static __inline long double __cdecl erfl(long double x) { return erf((double)x); }
static __inline long double __cdecl erfcl(long double x) { return erfc((double)x); }
static __inline long double __cdecl expl(long double x) { return exp((double)x); }
static __inline long double __cdecl exp2l(long double x) { return exp2((double)x); }
static __inline long double __cdecl expm1l(long double x) { return expm1((double)x); }
static __inline long double __cdecl fabsl(long double x) { return fabs((double)x); }
static __inline long double __cdecl floorl(long double x) { return floor((double)x); }
static __inline long double __cdecl lgammal(long double x) { return lgamma((double)x); }
static __inline long double __cdecl logl(long double x) { return log((double)x); }
static __inline long double __cdecl log10l(long double x) { return log10((double)x); }
static __inline long double __cdecl log1pl(long double x) { return log1p((double)x); }
static __inline long double __cdecl log2l(long double x) { return log2((double)x); }
static __inline long double __cdecl logbl(long double x) { return logb((double)x); }
static __inline long double __cdecl nearbyintl(long double x) { return nearbyint((double)x); }
static __inline long double __cdecl rintl(long double x) { return rint((double)x); }
static __inline long double __cdecl roundl(long double x) { return round((double)x); }
static __inline long double __cdecl sinl(long double x) { return sin((double)x); }
static __inline long double __cdecl sinhl(long double x) { return sinh((double)x); }
static __inline long double __cdecl sqrtl(long double x) { return sqrt((double)x); }
static __inline long double __cdecl tanl(long double x) { return tan((double)x); }
static __inline long double __cdecl tanhl(long double x) { return tanh((double)x); }
static __inline long double __cdecl tgammal(long double x) { return tgamma((double)x); }
static __inline long double __cdecl truncl(long double x) { return trunc((double)x); }
static __inline long double __cdecl atan2l(long double x, long double y) { return atan2((double)x, (double)y); }
static __inline long double __cdecl copysignl(long double x, long double y) { return copysign((double)x, (double)y); }
static __inline long double __cdecl fdiml(long double x, long double y) { return fdim((double)x, (double)y); }
static __inline long double __cdecl fmaxl(long double x, long double y) { return fmax((double)x, (double)y); }
static __inline long double __cdecl fminl(long double x, long double y) { return fmin((double)x, (double)y); }
static __inline long double __cdecl fmodl(long double x, long double y) { return fmod((double)x, (double)y); }
static __inline long double __cdecl hypotl(long double x, long double y) { return hypot((double)x, (double)y); }
static __inline long double __cdecl nextafterl(long double x, long double y) { return nextafter((double)x, (double)y); }
static __inline long double __cdecl powl(long double x, long double y) { return pow((double)x, (double)y); }
static __inline long double __cdecl remainderl(long double x, long double y) { return remainder((double)x, (double)y); }
static __inline long double __cdecl fmal(long double x, long double y, long double z) {
  return fma((double)x, (double)y, (double)z);
}
static __inline long double __cdecl frexpl(long double x, int* exponent) {
  return frexp((double)x, exponent);
}
static __inline long double __cdecl ldexpl(long double x, int exponent) {
  return ldexp((double)x, exponent);
}
static __inline long double __cdecl modfl(long double x, long double* integral) {
  double whole;
  long double fraction = modf((double)x, &whole);
  *integral = whole;
  return fraction;
}
static __inline long double __cdecl remquol(long double x, long double y, int* quotient) {
  return remquo((double)x, (double)y, quotient);
}
static __inline long double __cdecl scalbnl(long double x, int exponent) {
  return scalbn((double)x, exponent);
}
static __inline long double __cdecl scalblnl(long double x, long exponent) {
  return scalbln((double)x, exponent);
}
static __inline long double __cdecl nanl(const char* tag) { return nan(tag); }
static __inline long double __cdecl nexttowardl(long double x, long double y) {
  return nextafter((double)x, (double)y);
}
static __inline int __cdecl ilogbl(long double x) { return ilogb((double)x); }
static __inline long __cdecl lrintl(long double x) { return lrint((double)x); }
static __inline long long __cdecl llrintl(long double x) { return llrint((double)x); }
static __inline long __cdecl lroundl(long double x) { return lround((double)x); }
static __inline long long __cdecl llroundl(long double x) { return llround((double)x); }

#ifdef __cplusplus
}

#undef fpclassify
#undef signbit
#undef isinf
#undef isnan
#undef isnormal
#undef isfinite
#undef isgreater
#undef isgreaterequal
#undef isless
#undef islessequal
#undef islessgreater
#undef isunordered

extern "C++" {
inline int fpclassify(float x) noexcept { return _fdclass(x); }
inline int fpclassify(double x) noexcept { return _dclass(x); }
inline int fpclassify(long double x) noexcept { return _dclass(static_cast<double>(x)); }
inline bool signbit(float x) noexcept { return _fdsign(x) != 0; }
inline bool signbit(double x) noexcept { return _dsign(x) != 0; }
inline bool signbit(long double x) noexcept { return _dsign(static_cast<double>(x)) != 0; }
template <class T>
bool isinf(T x) noexcept {
  return fpclassify(x) == FP_INFINITE;
}
template <class T>
bool isnan(T x) noexcept {
  return fpclassify(x) == FP_NAN;
}
template <class T>
bool isnormal(T x) noexcept {
  return fpclassify(x) == FP_NORMAL;
}
template <class T>
bool isfinite(T x) noexcept {
  return fpclassify(x) <= 0;
}
template <class T, class U>
bool isunordered(T x, U y) noexcept {
  return isnan(x) || isnan(y);
}
template <class T, class U>
bool isgreater(T x, U y) noexcept {
  return !isunordered(x, y) && x > y;
}
template <class T, class U>
bool isgreaterequal(T x, U y) noexcept {
  return !isunordered(x, y) && x >= y;
}
template <class T, class U>
bool isless(T x, U y) noexcept {
  return !isunordered(x, y) && x < y;
}
template <class T, class U>
bool islessequal(T x, U y) noexcept {
  return !isunordered(x, y) && x <= y;
}
template <class T, class U>
bool islessgreater(T x, U y) noexcept {
  return !isunordered(x, y) && x != y;
}
}
#endif
