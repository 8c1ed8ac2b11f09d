# Cross-builds the 64-bit Windows DLL with MinGW-w64 (Debian's g++-mingw-w64-x86-64-posix) and
# runs the Windows programs of the build under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs run in a Wine prefix of the build's own and find the MinGW runtime DLLs
# (libstdc++, libgcc, winpthread) where the compiler keeps them, so none is copied.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(mingw_runtime_dirs "")
  foreach(runtime_dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(
      COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime_dll}
      OUTPUT_VARIABLE runtime_dll_path
      OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(runtime_dir "${runtime_dll_path}" DIRECTORY)
    get_filename_component(runtime_dir "${runtime_dir}" REALPATH)
    list(APPEND mingw_runtime_dirs "${runtime_dir}")
  endforeach()
  list(REMOVE_DUPLICATES mingw_runtime_dirs)
  string(REPLACE ";" ":" wine_path "${mingw_runtime_dirs}")
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_CURRENT_LIST_DIR}/../wine-run.sh;${CMAKE_BINARY_DIR}/wine-prefix;${wine_path}")
endif()
