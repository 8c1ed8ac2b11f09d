# Makes, in RIX_MSVC_RUNTIME_DIR, the libraries that a program or DLL of the MSVC ABI links with
# in place of Visual Studio's: import libraries of Wine's runtime DLLs (made from their export
# tables with llvm-readobj and llvm-dlltool) and vcruntime_startup.lib (vcruntime-startup/).
# Included by the toolchain file, so at configure time, before CMake's own compiler checks link;
# a library is made again when what it is made from is newer.

# The runtime, and the system libraries that CMake links every program with.
set(rix_msvc_runtime_dlls
    ucrtbase vcruntime140 msvcp140 msvcp140_1 msvcp140_atomic_wait kernel32 user32 gdi32
    winspool.drv shell32 ole32 oleaut32 comdlg32 advapi32)
file(MAKE_DIRECTORY "${RIX_MSVC_RUNTIME_DIR}")

foreach(dll_name IN LISTS rix_msvc_runtime_dlls)
  get_filename_component(dll "${dll_name}" NAME_WE)
  if(dll_name MATCHES "\\.")
    set(dll_file "${RIX_WINE_PE_DIR}/${dll_name}")
  else()
    set(dll_file "${RIX_WINE_PE_DIR}/${dll_name}.dll")
    set(dll_name "${dll_name}.dll")
  endif()
  set(import_library "${RIX_MSVC_RUNTIME_DIR}/${dll}.lib")
  if(NOT EXISTS "${dll_file}")
    message(FATAL_ERROR "${dll_file} not found: the MSVC-ABI build takes its runtime from Wine "
                        "(apt-get install wine64), or set RIX_WINE_PE_DIR to its folder of PE DLLs")
  endif()
  if(EXISTS "${import_library}" AND NOT "${dll_file}" IS_NEWER_THAN "${import_library}")
    continue()
  endif()
  execute_process(COMMAND "${RIX_LLVM_READOBJ}" --coff-exports "${dll_file}"
                  OUTPUT_VARIABLE exports COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "Name: [^\n]+" names "${exports}")
  list(TRANSFORM names REPLACE "^Name: " "  ")
  list(JOIN names "\n" names)
  file(WRITE "${RIX_MSVC_RUNTIME_DIR}/${dll}.def" "LIBRARY ${dll_name}\nEXPORTS\n${names}\n")
  execute_process(COMMAND "${RIX_LLVM_DLLTOOL}" -m i386:x86-64 -d "${RIX_MSVC_RUNTIME_DIR}/${dll}.def"
                          -l "${import_library}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# The interface identifiers, a static library; and delay-loading's helper, __delayLoadHelper2,
# which Wine's start-up library holds, under Visual Studio's name.
configure_file("${RIX_WINE_PE_DIR}/libuuid.a" "${RIX_MSVC_RUNTIME_DIR}/uuid.lib" COPYONLY)
configure_file("${RIX_WINE_PE_DIR}/libwinecrt0.a" "${RIX_MSVC_RUNTIME_DIR}/delayimp.lib" COPYONLY)

set(startup_dir "${CMAKE_CURRENT_LIST_DIR}/vcruntime-startup")
set(startup_library "${RIX_MSVC_RUNTIME_DIR}/vcruntime_startup.lib")
file(GLOB startup_sources "${startup_dir}/*.cpp" "${startup_dir}/*.hpp")
set(startup_stale FALSE)
foreach(source IN LISTS startup_sources ITEMS "${CMAKE_CURRENT_LIST_FILE}")
  if(NOT EXISTS "${startup_library}" OR "${source}" IS_NEWER_THAN "${startup_library}")
    set(startup_stale TRUE)
  endif()
endforeach()
if(startup_stale)
  set(objects "")
  foreach(source IN LISTS startup_sources)
    if(source MATCHES "\\.cpp$")
      get_filename_component(name "${source}" NAME_WE)
      set(object "${RIX_MSVC_RUNTIME_DIR}/${name}.obj")
      execute_process(COMMAND "${CMAKE_CXX_COMPILER}" /nologo /c /std:c++17 /EHsc /MD /O2 /Z7
                              ${RIX_MSVC_COMPILE_FLAGS} "/Fo${object}" -- "${source}"
                      COMMAND_ERROR_IS_FATAL ANY)
      list(APPEND objects "${object}")
    endif()
  endforeach()
  execute_process(COMMAND "${CMAKE_AR}" /nologo "/out:${startup_library}" ${objects}
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
