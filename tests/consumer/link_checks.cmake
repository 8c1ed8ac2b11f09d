# Hosts that must not link, a target each, for tests that build them one at a time: the file
# CONSUMER_LINK_CHECKS calls must_not_link() once per host.
#
# must_not_link(<name> [PART stdout_capture|both] [DEFINITIONS ...] [OPTIONS ...] [LINK_OPTIONS ...]
#               [OLD_ABI_PARTS [RELOCATABLE]] [PKG_CONFIG])
#
# The host is link_check_host.cpp, using the tester, the capture alone or both (PART), compiled with
# DEFINITIONS and OPTIONS, linked with LINK_OPTIONS. With OLD_ABI_PARTS it also links an object
# and an archive member of its own built for libstdc++'s old std::string ABI, after its main
# file (RELOCATABLE: the object combined with the linker's -r first). It finds the library as
# the installed package (or, with CONSUMER_LINK_CHECKS_FROM_SOURCES, the library built here from
# RIX_TESTER_SOURCE_DIR), or through pkg-config (PKG_CONFIG).

option(CONSUMER_LINK_CHECKS_FROM_SOURCES "Build the library from RIX_TESTER_SOURCE_DIR")
if(CONSUMER_LINK_CHECKS_FROM_SOURCES)
  add_subdirectory("${RIX_TESTER_SOURCE_DIR}" pgm_vazuvuriz_rix_tester EXCLUDE_FROM_ALL)
else()
  find_package(pgm_vazuvuriz_rix_tester 1 CONFIG REQUIRED)
endif()

# Builds `target` as a part of the host that must_not_link is making, with its settings.
function(as_the_host target)
  target_compile_features(${target} PRIVATE cxx_std_17)
  target_compile_definitions(${target} PRIVATE ${arg_DEFINITIONS})
  target_compile_options(${target} PRIVATE ${arg_OPTIONS})
  target_link_libraries(${target} PRIVATE ${part})
endfunction()

function(must_not_link name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "OLD_ABI_PARTS;RELOCATABLE;PKG_CONFIG"
                        "PART" "DEFINITIONS;OPTIONS;LINK_OPTIONS")
  set(part pgm_vazuvuriz_rix_tester::pgm_vazuvuriz_rix_tester)
  if(arg_PART STREQUAL "stdout_capture")
    list(APPEND arg_DEFINITIONS CONSUMER_USES_THE_CAPTURE_ALONE)
    set(part pgm_vazuvuriz_rix_tester::stdout_capture)
  elseif(arg_PART STREQUAL "both")
    list(APPEND arg_DEFINITIONS CONSUMER_USES_THE_CAPTURE_TOO)
    list(APPEND part pgm_vazuvuriz_rix_tester::stdout_capture)
  endif()
  if(arg_PKG_CONFIG)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(rix_tester REQUIRED IMPORTED_TARGET pgm_vazuvuriz_rix_tester)
    set(part PkgConfig::rix_tester)
  endif()

  add_executable(${name} EXCLUDE_FROM_ALL "${CMAKE_CURRENT_SOURCE_DIR}/link_check_host.cpp")
  as_the_host(${name})
  target_link_options(${name} PRIVATE ${arg_LINK_OPTIONS})
  if(NOT arg_OLD_ABI_PARTS)
    return()
  endif()
  set(part_source "${CMAKE_CURRENT_SOURCE_DIR}/old_abi_part.cpp")
  add_library(${name}.old_abi_object OBJECT EXCLUDE_FROM_ALL "${part_source}")
  add_library(${name}.old_abi_archive STATIC EXCLUDE_FROM_ALL "${part_source}")
  as_the_host(${name}.old_abi_object)
  as_the_host(${name}.old_abi_archive)
  target_compile_definitions(${name}.old_abi_object PRIVATE _GLIBCXX_USE_CXX11_ABI=0
                                                            OLD_ABI_PART=old_abi_object)
  target_compile_definitions(${name}.old_abi_archive PRIVATE _GLIBCXX_USE_CXX11_ABI=0
                                                             OLD_ABI_PART=old_abi_archive_member)
  target_compile_definitions(${name} PRIVATE CONSUMER_OLD_ABI_PARTS)
  if(arg_RELOCATABLE)
    set(combined "${CMAKE_CURRENT_BINARY_DIR}/${name}.old_abi_combined${CMAKE_CXX_OUTPUT_EXTENSION}")
    add_custom_command(
      OUTPUT "${combined}"
      COMMAND "${CMAKE_LINKER}" -r $<TARGET_OBJECTS:${name}.old_abi_object> -o "${combined}"
      DEPENDS ${name}.old_abi_object $<TARGET_OBJECTS:${name}.old_abi_object>
      COMMAND_EXPAND_LISTS VERBATIM)
    set_source_files_properties("${combined}" PROPERTIES EXTERNAL_OBJECT ON GENERATED ON)
    target_sources(${name} PRIVATE "${combined}")
  else()
    target_sources(${name} PRIVATE $<TARGET_OBJECTS:${name}.old_abi_object>)
  endif()
  target_link_libraries(${name} PRIVATE ${name}.old_abi_archive)
endfunction()

include("${CONSUMER_LINK_CHECKS}")
