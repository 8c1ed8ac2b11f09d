// Wine's <winnt.h> defines, for clang, a function of the name of an intrinsic that clang-cl
// declares itself (_InterlockedCompareExchange128): it is defined under a name of its own here,
// and the intrinsic keeps its name.
#pragma once

#define _InterlockedCompareExchange128 __wine_InterlockedCompareExchange128
#include_next <winnt.h>
#undef _InterlockedCompareExchange128
#undef InterlockedCompareExchange128
#define InterlockedCompareExchange128 _InterlockedCompareExchange128
