// Wine's <windef.h> makes `inline` a macro for any compiler that says it is Microsoft's, which
// C++ forbids (Microsoft's STL refuses to compile after it): C++ keeps its keyword.
#pragma once

#include_next <windef.h>

#ifdef __cplusplus
#undef inline
#endif
