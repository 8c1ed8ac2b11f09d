# Cross-builds for 64-bit Windows in the MSVC ABI, as Visual Studio's hosts are built, from
# Debian packages alone: clang-cl and lld-link (clang, lld), Microsoft's STL
# (third_party/microsoft-stl), Wine's C runtime and Windows headers (libwine-dev) and its runtime
# DLLs (wine64), and stand-ins for what Visual Studio adds (cmake/windows-msvc). Programs run
# under Wine. Neither Microsoft's compiler nor Microsoft's runtime DLLs take part.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(llvm_bin /usr/lib/llvm-14/bin)
set(CMAKE_C_COMPILER "${llvm_bin}/clang-cl")
set(CMAKE_CXX_COMPILER "${llvm_bin}/clang-cl")
set(CMAKE_LINKER "${llvm_bin}/lld-link")
set(CMAKE_AR "${llvm_bin}/llvm-lib")
set(CMAKE_RC_COMPILER "${llvm_bin}/llvm-rc")
set(CMAKE_MT "${llvm_bin}/llvm-mt")
set(RIX_LLVM_READOBJ "${llvm_bin}/llvm-readobj")
set(RIX_LLVM_DLLTOOL "${llvm_bin}/llvm-dlltool")

set(msvc_dir "${CMAKE_CURRENT_LIST_DIR}/../windows-msvc")
set(wine_include_dir /usr/include/wine/wine)
set(RIX_WINE_PE_DIR
    /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
    CACHE PATH "Wine's 64-bit PE DLLs, whose runtime the MSVC-ABI build links")

# The headers in Visual Studio's order: the STL, then the runtime's, then the C runtime's and
# Windows'. /GS-: the stand-in runtime has no security cookie. Vector algorithms and the STL's
# other separately compiled parts live in Visual Studio's static libraries, which are not here.
# Wine's headers offer the structured exception handling names only to compilers that say they
# have it.
set(RIX_MSVC_COMPILE_FLAGS
    -fms-compatibility-version=19.34 /GS- /D_USE_STD_VECTOR_ALGORITHMS=0
    /DUSE_COMPILER_EXCEPTIONS
    "/imsvc${CMAKE_CURRENT_LIST_DIR}/../../third_party/microsoft-stl/stl/inc"
    "/imsvc${msvc_dir}/vcruntime-headers" "/imsvc${msvc_dir}/ucrt-additions"
    "/imsvc${msvc_dir}/windows-sdk-additions" "/imsvc${wine_include_dir}/msvcrt"
    "/imsvc${wine_include_dir}/windows")
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:${RIX_MSVC_COMPILE_FLAGS}>")
# llvm-rc finds windows.h and winuser.h among Wine's headers.
set(CMAKE_RC_FLAGS_INIT "-I${wine_include_dir}/windows -I${wine_include_dir}/msvcrt")

# The release runtime in every configuration: Wine has no debug runtime DLLs.
set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)

# The runtime's libraries, made once per build folder (try_compile's projects use the top one).
if(NOT RIX_MSVC_RUNTIME_DIR)
  set(RIX_MSVC_RUNTIME_DIR "${CMAKE_BINARY_DIR}/msvc-runtime")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES RIX_MSVC_RUNTIME_DIR RIX_WINE_PE_DIR)
include("${msvc_dir}/runtime.cmake")

# In place of the libraries that the compiler and the STL ask for, the stand-ins above, in
# Visual Studio's order: memcpy and its kin bind to vcruntime140.dll before ucrtbase.dll. No
# manifest of CMake's: the DLL embeds its own, and llvm-mt takes absolute paths for options.
add_link_options(
  /MANIFEST:NO
  /nodefaultlib "/libpath:${RIX_MSVC_RUNTIME_DIR}" vcruntime_startup.lib vcruntime140.lib
  msvcp140.lib msvcp140_1.lib msvcp140_atomic_wait.lib ucrtbase.lib kernel32.lib)

list(APPEND CMAKE_FIND_ROOT_PATH "${RIX_MSVC_RUNTIME_DIR}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs run in a Wine prefix of the build's own, on Wine's own runtime DLLs: the folder of
# DLLs that wine-run.sh puts on the path adds none.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_CURRENT_LIST_DIR}/../wine-run.sh;${CMAKE_BINARY_DIR}/wine-prefix;${RIX_MSVC_RUNTIME_DIR}")
endif()
