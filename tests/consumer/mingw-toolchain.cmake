# A MinGW-w64 toolchain file as many are written: it sets the find root path, so that one given
# on the command line is overridden, and finds packages only under it.
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/toolchains/x86_64-w64-mingw32.cmake")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
