#ifndef VAZUVURIZ_RIX_STANDARD_LIBRARY_HPP
#define VAZUVURIZ_RIX_STANDARD_LIBRARY_HPP

// Names the C++ standard library, with the ABI of its std::string, that the including file is
// compiled against, as PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY. The tester's options and
// members hold std::strings, so the library and the code that uses it must agree on this. With
// Microsoft's STL the iterator debug level changes std::string's layout, so it is part of the
// name: 0 in a release build, 2 in a debug build (/MDd), 1 where a release build asks for it.

#include <string>

#if defined(_LIBCPP_VERSION)
#define PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY libcxx
#elif defined(__GLIBCXX__) && _GLIBCXX_USE_CXX11_ABI
#define PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY libstdcxx_cxx11_abi
#elif defined(__GLIBCXX__)
#define PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY libstdcxx_old_abi
#elif defined(_MSVC_STL_VERSION) && _ITERATOR_DEBUG_LEVEL == 0
#define PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY msvc_stl_iterator_debug_level_0
#elif defined(_MSVC_STL_VERSION) && _ITERATOR_DEBUG_LEVEL == 1
#define PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY msvc_stl_iterator_debug_level_1
#elif defined(_MSVC_STL_VERSION) && _ITERATOR_DEBUG_LEVEL == 2
#define PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY msvc_stl_iterator_debug_level_2
#else
#define PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY unknown_standard_library
#endif

#endif  // VAZUVURIZ_RIX_STANDARD_LIBRARY_HPP
