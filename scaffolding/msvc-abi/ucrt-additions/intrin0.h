// The small set of intrinsics that Microsoft's STL takes from Visual Studio's <intrin0.h>:
// clang's <intrin.h> declares them all.
#pragma once

#include <intrin.h>
