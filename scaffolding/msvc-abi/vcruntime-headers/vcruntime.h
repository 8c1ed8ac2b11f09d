// Stands in for Visual Studio's vcruntime.h, which Microsoft's STL includes first: the
// definitions of the C++ runtime (vcruntime140.dll) that the STL relies on, over Wine's C
// runtime headers. Written for this build, from what the STL uses.
#pragma once

#include <corecrt.h>
#include <sal.h>
#include <stddef.h>

#ifndef _CRT_PACKING
#define _CRT_PACKING 8
#endif

#ifdef __cplusplus
#define _CRT_BEGIN_C_HEADER extern "C" {
#define _CRT_END_C_HEADER }
#else
#define _CRT_BEGIN_C_HEADER
#define _CRT_END_C_HEADER
#endif

#define _VCRTIMP __declspec(dllimport)
#define _CRTIMP2
// Native code: no managed or per-appdomain variants.
#define _MRTIMP2
#define _PGLOBAL
#define _AGLOBAL
// The functions of the STL's satellite DLLs (msvcp140_1.dll, msvcp140_2.dll).
#define _CRT_SATELLITE_1 __declspec(dllimport)
#define _CRT_SATELLITE_2 __declspec(dllimport)
#define _CRT_SATELLITE_CODECVT_IDS __declspec(dllimport)
#define _CRT_SATELLITE_CODECVT_IDS_NOIMPORT
#define _VCRT_NOALIAS __declspec(noalias)
#define _VCRT_RESTRICT __declspec(restrict)
#define _VCRT_ALLOCATOR __declspec(allocator)
#define _CRTRESTRICT __declspec(restrict)
#define _CRTALLOCATOR __declspec(allocator)
#define _CRT_GUARDOVERFLOW
#define _CRT_JIT_INTRINSIC
#define _CRT_HYBRIDPATCHABLE
#define _CRT_INSECURE_DEPRECATE(replacement)
#define _CRT_INSECURE_DEPRECATE_MEMORY(replacement)
#define _CRT_DEPRECATE_TEXT(text)
#define _CRT_WARNING_MESSAGE(number, message)
#define _VCRT_DEFINED_CRTIMP

#define _CRT_STRINGIZE_(x) #x
#define _CRT_STRINGIZE(x) _CRT_STRINGIZE_(x)
#define _CRT_WIDE_(s) L##s
#define _CRT_WIDE(s) _CRT_WIDE_(s)
// Predefined by Microsoft's compiler, not by clang-cl 14; the STL's debug checks name it.
#ifndef __FILEW__
#define __FILEW__ _CRT_WIDE(__FILE__)
#endif
#define _CRT_CONCATENATE_(a, b) a##b
#define _CRT_CONCATENATE(a, b) _CRT_CONCATENATE_(a, b)
#define _CRT_APPEND(a, b) _CRT_CONCATENATE(a, b)
#define _CRT_UNPARENTHESIZE_(...) __VA_ARGS__
#define _CRT_UNPARENTHESIZE(...) _CRT_UNPARENTHESIZE_ __VA_ARGS__
#define _CRT_UNUSED(x) (void)x

#ifndef _HAS_EXCEPTIONS
#define _HAS_EXCEPTIONS 1
#endif

#if defined(_MSVC_LANG) && _MSVC_LANG > 201402L
#define _CRT_HAS_CXX17 1
#else
#define _CRT_HAS_CXX17 0
#endif
#ifndef _HAS_CXX17
#define _HAS_CXX17 _CRT_HAS_CXX17
#endif

#ifndef _CRT_HAS_C11
#define _CRT_HAS_C11 0
#endif

#define _VCRUNTIME_DISABLED_WARNINGS
#define _VCRUNTIME_EXTRA_DISABLED_WARNINGS

#ifdef __cplusplus
#define _CRT_NODISCARD [[nodiscard]]
#else
#define _CRT_NODISCARD
#endif

// Native code: no C++/CLI calling conventions.
#define __CLR_OR_THIS_CALL
#define __CLRCALL_OR_CDECL __cdecl
#define __CLRCALL_PURE_OR_CDECL __cdecl
#ifndef __CRTDECL
#define __CRTDECL __CLRCALL_PURE_OR_CDECL
#endif
#define _CRT_SECURITYCRITICAL_ATTRIBUTE
#define _CRT_SECURITYSAFECRITICAL_ATTRIBUTE
#define _CRT_INLINE_PURE_SECURITYCRITICAL_ATTRIBUTE
#define _VCRT_ALIGN(x) __declspec(align(x))

#ifndef _HAS_NODISCARD
#if defined(_MSVC_LANG) && _MSVC_LANG > 201402L
#define _HAS_NODISCARD 1
#else
#define _HAS_NODISCARD 0
#endif
#endif
#if _HAS_NODISCARD
#define _NODISCARD [[nodiscard]]
#else
#define _NODISCARD
#endif

#ifdef __cplusplus
#define __crt_countof(array) (sizeof(__crt_countof_helper(array)))
template <typename T, size_t N>
char (*__crt_countof_helper(T (&)[N]))[N];
#else
#define __crt_countof(array) (sizeof(array) / sizeof(array[0]))
#endif

typedef bool __vcrt_bool;

_CRT_BEGIN_C_HEADER
extern uintptr_t __security_cookie;
_VCRTIMP void __cdecl __security_init_cookie(void);
void __cdecl __security_check_cookie(uintptr_t cookie);
__declspec(noreturn) void __cdecl __report_gsfailure(uintptr_t cookie);
_CRT_END_C_HEADER
