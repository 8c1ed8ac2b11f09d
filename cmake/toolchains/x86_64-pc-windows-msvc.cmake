# Cross-builds for 64-bit Windows in the MSVC ABI, as Visual Studio's hosts are built, from
# Debian packages alone: clang-cl (clang-tools-14), lld-link (lld) and LLVM's tools (llvm),
# Microsoft's STL (third_party/microsoft-stl), Wine's C runtime and Windows headers
# (libwine-dev) and its runtime DLLs (wine64), and the stand-ins for what Visual Studio adds
# that scaffolding/msvc-abi holds. Programs run under Wine. Neither Microsoft's compiler nor
# Microsoft's runtime DLLs take part. The runtime follows the configuration, as CMake has it
# (MultiThreaded$<$<CONFIG:Debug>:Debug>DLL); Wine has no debug runtime, so programs built for it
# link and do not run here.
#
# What projects built with it may read: RIX_MSVC_SYSTEM_INCLUDE_DIRS, the folders of the system
# headers in the order the compiler searches them; RIX_LLVM_READOBJ, llvm-readobj. What they may
# set: RIX_MSVC_RUNTIME_DIR, the folder where the runtime's libraries are made (by default
# msvc-runtime in the build folder), which builds that share it make only once.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(llvm_bin /usr/lib/llvm-14/bin)
set(wine_include_dir /usr/include/wine/wine)
set(RIX_WINE_PE_DIR
    /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
    CACHE PATH "Wine's 64-bit PE DLLs, whose runtime the MSVC-ABI build links")
foreach(needed IN ITEMS "${llvm_bin}/clang-cl;clang-tools-14" "${llvm_bin}/lld-link;lld"
                        "${llvm_bin}/llvm-dlltool;llvm" "${wine_include_dir}/windows;libwine-dev"
                        "${RIX_WINE_PE_DIR}/ucrtbase.dll;wine64")
  list(GET needed 0 file)
  list(GET needed 1 package)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "The MSVC-ABI build needs ${file}: apt-get install ${package}")
  endif()
endforeach()
set(CMAKE_C_COMPILER "${llvm_bin}/clang-cl")
set(CMAKE_CXX_COMPILER "${llvm_bin}/clang-cl")
set(CMAKE_LINKER "${llvm_bin}/lld-link")
set(CMAKE_AR "${llvm_bin}/llvm-lib")
set(CMAKE_RC_COMPILER "${llvm_bin}/llvm-rc")
set(CMAKE_MT "${llvm_bin}/llvm-mt")
set(RIX_LLVM_READOBJ "${llvm_bin}/llvm-readobj")
set(RIX_LLVM_DLLTOOL "${llvm_bin}/llvm-dlltool")

set(scaffolding_dir "${CMAKE_CURRENT_LIST_DIR}/../../scaffolding/msvc-abi")
set(RIX_MSVC_SYSTEM_INCLUDE_DIRS
    "${CMAKE_CURRENT_LIST_DIR}/../../third_party/microsoft-stl/stl/inc"
    "${scaffolding_dir}/vcruntime-headers" "${scaffolding_dir}/ucrt-additions"
    "${scaffolding_dir}/windows-sdk-additions" "${wine_include_dir}/msvcrt"
    "${wine_include_dir}/windows")

# The headers in Visual Studio's order: the STL, then the runtime's, then the C runtime's and
# Windows'. /GS-: the stand-in runtime has no security cookie. Vector algorithms and the STL's
# other separately compiled parts live in Visual Studio's static libraries, which are not here.
# Wine's headers offer the structured exception handling names only to compilers that say they
# have it.
set(RIX_MSVC_COMPILE_FLAGS -fms-compatibility-version=19.34 /GS- /D_USE_STD_VECTOR_ALGORITHMS=0
                            /DUSE_COMPILER_EXCEPTIONS)
foreach(dir IN LISTS RIX_MSVC_SYSTEM_INCLUDE_DIRS)
  list(APPEND RIX_MSVC_COMPILE_FLAGS "/imsvc${dir}")
endforeach()
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:${RIX_MSVC_COMPILE_FLAGS}>")
# llvm-rc finds windows.h and winuser.h among Wine's headers.
set(CMAKE_RC_FLAGS_INIT "-I${wine_include_dir}/windows -I${wine_include_dir}/msvcrt")

# The runtime's libraries, made once per build folder (try_compile's projects use the top one).
if(NOT RIX_MSVC_RUNTIME_DIR)
  set(RIX_MSVC_RUNTIME_DIR "${CMAKE_BINARY_DIR}/msvc-runtime")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES RIX_MSVC_RUNTIME_DIR RIX_WINE_PE_DIR)
include("${scaffolding_dir}/runtime.cmake")

# The compiler and the STL ask for the runtime's libraries by Visual Studio's names, which the
# stand-ins take. No manifest of CMake's: the DLL embeds its own, and llvm-mt takes absolute
# paths for options.
add_link_options(/MANIFEST:NO "/libpath:${RIX_MSVC_RUNTIME_DIR}")

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
