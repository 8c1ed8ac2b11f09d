# Makes, in RIX_MSVC_RUNTIME_DIR, the libraries that a program or DLL of the MSVC ABI links in
# place of Visual Studio's, under Visual Studio's names, which the compiler and Microsoft's STL
# ask for by themselves: for the release runtime (/MD) and the debug one (/MDd, "d").
#
#   msvcrt.lib, msvcrtd.lib        the static start-up (vcruntime-startup/), which names
#   vcruntime.lib, vcruntimed.lib  vcruntime140.dll, vcruntime140d.dll
#   ucrt.lib, ucrtd.lib            ucrtbase.dll, ucrtbased.dll
#   msvcprt.lib, msvcprtd.lib      msvcp140.dll, msvcp140_1.dll, msvcp140_atomic_wait.dll, or the
#                                  debug ones
#   oldnames.lib                   empty: the POSIX names are the runtime's exports here
#   kernel32.lib, user32.lib, ...  Wine's import libraries, as Wine ships them
#   winecrt0.lib, delayimp.lib     Wine's start-up library: _fltused, a default DllMain, and
#                                  __delayLoadHelper2 under Visual Studio's name
#
# The runtime DLLs' import libraries are made from their export tables (llvm-readobj,
# llvm-dlltool): Wine's own leave out the C++ names of msvcp140.dll. Wine has no debug runtime:
# the debug libraries name the debug DLLs, with the release ones' exports and what Microsoft's
# STL calls in a debug build, so that programs link, and do not run here. Included by the
# toolchain file, at configure time, before CMake's own compiler checks link; a library is made
# again when what it is made from is newer.

file(MAKE_DIRECTORY "${RIX_MSVC_RUNTIME_DIR}")

# Sets `result` to whether `output` is missing or older than one of `inputs` or this file.
function(rix_msvc_stale result output)
  set(${result} FALSE PARENT_SCOPE)
  foreach(input IN LISTS ARGN ITEMS "${CMAKE_CURRENT_FUNCTION_LIST_FILE}")
    if(NOT EXISTS "${output}" OR "${input}" IS_NEWER_THAN "${output}")
      set(${result} TRUE PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

# Writes `library` from the export tables of `dlls` (Wine's), naming the DLL `name` in it.
function(rix_msvc_import_library library name dlls)
  set(output "${RIX_MSVC_RUNTIME_DIR}/${library}.lib")
  set(inputs "")
  foreach(dll IN LISTS dlls)
    set(input "${RIX_WINE_PE_DIR}/${dll}.dll")
    if(NOT EXISTS "${input}")
      message(FATAL_ERROR "${input} not found: the MSVC-ABI build takes its runtime from Wine "
                          "(apt-get install wine64), or set RIX_WINE_PE_DIR to its folder of PE DLLs")
    endif()
    list(APPEND inputs "${input}")
  endforeach()
  rix_msvc_stale(stale "${output}" ${inputs})
  if(NOT stale)
    return()
  endif()
  set(parts "")
  foreach(dll input IN ZIP_LISTS dlls inputs)
    execute_process(COMMAND "${RIX_LLVM_READOBJ}" --coff-exports "${input}"
                    OUTPUT_VARIABLE exports COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "Name: [^\n]+" names "${exports}")
    list(TRANSFORM names REPLACE "^Name: " "  ")
    if(dll STREQUAL "ucrtbase" AND name MATCHES "d$")
      list(APPEND names "  _invalid_parameter" "  _CrtDbgReport" "  _CrtDbgReportW")
    endif()
    list(JOIN names "\n" names)
    string(REGEX REPLACE "^(msvcp140|vcruntime140|ucrtbase)" "\\1${name}" dll_name "${dll}")
    set(part "${RIX_MSVC_RUNTIME_DIR}/${dll}${name}")
    file(WRITE "${part}.def" "LIBRARY ${dll_name}.dll\nEXPORTS\n${names}\n")
    execute_process(COMMAND "${RIX_LLVM_DLLTOOL}" -m i386:x86-64 -d "${part}.def" -l "${part}.lib"
                    COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND parts "${part}.lib")
  endforeach()
  execute_process(COMMAND "${CMAKE_AR}" /nologo "/out:${output}" ${parts} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

foreach(debug IN ITEMS "" d)
  rix_msvc_import_library(vcruntime${debug} "${debug}" vcruntime140)
  rix_msvc_import_library(ucrt${debug} "${debug}" ucrtbase)
  rix_msvc_import_library(msvcprt${debug} "${debug}" "msvcp140;msvcp140_1;msvcp140_atomic_wait")
endforeach()

# Wine's import libraries of the system DLLs that CMake links every program with.
foreach(dll IN ITEMS kernel32 ntdll user32 gdi32 winspool shell32 ole32 oleaut32 uuid comdlg32
                     advapi32)
  configure_file("${RIX_WINE_PE_DIR}/lib${dll}.a" "${RIX_MSVC_RUNTIME_DIR}/${dll}.lib" COPYONLY)
endforeach()
foreach(library IN ITEMS winecrt0 delayimp)
  configure_file("${RIX_WINE_PE_DIR}/libwinecrt0.a" "${RIX_MSVC_RUNTIME_DIR}/${library}.lib" COPYONLY)
endforeach()

# The start-up, for each runtime.
set(startup_dir "${CMAKE_CURRENT_LIST_DIR}/vcruntime-startup")
file(GLOB startup_sources "${startup_dir}/*.cpp" "${startup_dir}/*.hpp")
foreach(runtime IN ITEMS MD MDd)
  string(REPLACE "MD" "msvcrt" library "${runtime}")
  set(output "${RIX_MSVC_RUNTIME_DIR}/${library}.lib")
  rix_msvc_stale(stale "${output}" ${startup_sources})
  if(NOT stale)
    continue()
  endif()
  set(objects "")
  foreach(source IN LISTS startup_sources)
    if(source MATCHES "\\.cpp$")
      get_filename_component(name "${source}" NAME_WE)
      set(object "${RIX_MSVC_RUNTIME_DIR}/${name}.${runtime}.obj")
      execute_process(COMMAND "${CMAKE_CXX_COMPILER}" /nologo /c /std:c++17 /EHsc /${runtime} /O2 /Z7
                              ${RIX_MSVC_COMPILE_FLAGS} "/Fo${object}" -- "${source}"
                      COMMAND_ERROR_IS_FATAL ANY)
      list(APPEND objects "${object}")
    endif()
  endforeach()
  execute_process(COMMAND "${CMAKE_AR}" /nologo "/out:${output}" ${objects} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# The POSIX names need no aliases: the runtime exports them.
if(NOT EXISTS "${RIX_MSVC_RUNTIME_DIR}/oldnames.lib")
  file(WRITE "${RIX_MSVC_RUNTIME_DIR}/oldnames.c" "")
  execute_process(COMMAND "${CMAKE_C_COMPILER}" /nologo /c "/Fo${RIX_MSVC_RUNTIME_DIR}/oldnames.obj"
                          -- "${RIX_MSVC_RUNTIME_DIR}/oldnames.c" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND "${CMAKE_AR}" /nologo "/out:${RIX_MSVC_RUNTIME_DIR}/oldnames.lib"
                          "${RIX_MSVC_RUNTIME_DIR}/oldnames.obj" COMMAND_ERROR_IS_FATAL ANY)
endif()
