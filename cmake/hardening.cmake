# Hardening of what is released, as the OpenSSF compiler hardening guide has it for a C++ shared
# library that hosts may load with dlopen (so without -z nodlopen). The options come after
# CMAKE_CXX_FLAGS, so a packager's own flags still apply; a packager whose flags already harden
# the build (dpkg-buildflags, say) may leave ours out with -DRIX_TESTER_HARDENING=OFF.
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)

option(RIX_TESTER_HARDENING "Build the library and the capture with the compiler's hardening" ON)

set(rix_tester_hardening_compile_options "")
set(rix_tester_hardening_link_options "")
if(RIX_TESTER_HARDENING AND MINGW)
  # MinGW-w64's stack protector and fortified functions need libssp's DLL: the image's own
  # defences, which binutils sets by default today, are stated so that they stay.
  list(APPEND rix_tester_hardening_link_options LINKER:--dynamicbase LINKER:--high-entropy-va
       LINKER:--nxcompat)
elseif(RIX_TESTER_HARDENING AND NOT WIN32)
  # Fortified functions need optimisation, and say so at -O0: not in Debug builds. Where a
  # packager's flags set _FORTIFY_SOURCE, theirs stands.
  if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
    list(APPEND rix_tester_hardening_compile_options "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>"
         "$<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=3>")
  endif()
  list(APPEND rix_tester_hardening_compile_options -D_GLIBCXX_ASSERTIONS)
  # As errors: clang takes some of them for targets that have not got them, with a warning.
  set(CMAKE_REQUIRED_FLAGS -Werror)
  foreach(flag IN ITEMS -fstack-protector-strong -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "rix_tester_has${flag}" result)
    check_cxx_compiler_flag(${flag} ${result})
    if(${result})
      list(APPEND rix_tester_hardening_compile_options ${flag})
    endif()
  endforeach()
  unset(CMAKE_REQUIRED_FLAGS)
  foreach(flag IN ITEMS -z,relro -z,now -z,noexecstack --as-needed)
    string(MAKE_C_IDENTIFIER "rix_tester_links_with${flag}" result)
    check_linker_flag(CXX "LINKER:${flag}" ${result})
    if(${result})
      list(APPEND rix_tester_hardening_link_options "LINKER:${flag}")
    endif()
  endforeach()
endif()

# Hardens `target`: its compilation and, for a shared library, its link. Outside Debug builds
# on ELF platforms the compilers' and linkers' names (.comment) are taken out of what is
# released, as Debian's strip does.
function(rix_tester_harden target)
  target_compile_options(${target} PRIVATE ${rix_tester_hardening_compile_options})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    target_link_options(${target} PRIVATE ${rix_tester_hardening_link_options})
  endif()
  if(CMAKE_OBJCOPY AND NOT WIN32 AND NOT APPLE AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND "${CMAKE_OBJCOPY}" --remove-section=.comment $<TARGET_FILE:${target}>
                       VERBATIM)
  endif()
endfunction()
