# What the tests need beyond the library's own build. Looked for before the helpers' folder, so
# that the mock links the tests' own GoogleTest. Whatever is missing stops the configure with
# one message that names every package to install.
set(RIX_TESTER_GOOGLETEST_SOURCE_DIR
    ""
    CACHE PATH "Build GoogleTest from these sources instead of using an installed one")
set(missing_packages "")

if(RIX_TESTER_GOOGLETEST_SOURCE_DIR)
  # Cross and libc++ builds cannot use the installed GoogleTest; Debian ships its sources.
  if(EXISTS "${RIX_TESTER_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt")
    set(INSTALL_GTEST OFF)
    add_subdirectory("${RIX_TESTER_GOOGLETEST_SOURCE_DIR}" googletest EXCLUDE_FROM_ALL SYSTEM)
    # Someone else's code: built quietly, not to this project's warning flags.
    foreach(target IN ITEMS gtest gtest_main gmock gmock_main)
      target_compile_options(${target} PRIVATE -w)
    endforeach()
    set_target_properties(gtest gtest_main gmock gmock_main PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
  else()
    list(APPEND missing_packages googletest)
  endif()
else()
  find_package(GTest QUIET)
  if(NOT TARGET GTest::gmock)
    list(APPEND missing_packages libgtest-dev libgmock-dev)
  endif()
endif()

# The pkg-config and FetchContent consumers.
find_package(PkgConfig QUIET)
if(NOT PKG_CONFIG_FOUND)
  list(APPEND missing_packages pkgconf)
endif()
find_package(Git QUIET)
if(NOT Git_FOUND)
  list(APPEND missing_packages git)
endif()
# The release archive's test: CPack's archives are rewritten by python3.
find_program(RIX_TESTER_PYTHON python3)
if(NOT RIX_TESTER_PYTHON)
  list(APPEND missing_packages python3)
endif()

# Whether `compiler` with the flags `flags` links a program that uses the standard library. Asked
# on every configure, so that a package installed since is seen without a fresh one.
function(rix_links_with result compiler flags)
  set(source "${CMAKE_CURRENT_BINARY_DIR}/links_with/main.cpp")
  file(WRITE "${source}" "#include <string>\nint main() { return std::string(\"x\").empty(); }\n")
  separate_arguments(flags UNIX_COMMAND "${flags}")
  execute_process(COMMAND "${compiler}" ${flags} "${source}" -o "${source}.out"
                  RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
  string(COMPARE EQUAL "${failed}" "0" links)
  set(${result} ${links} PARENT_SCOPE)
endfunction()

# clang++, for the check of the public headers and for a host built for libc++: this build's
# compiler where it is one. The tests say they are skipped without it.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND NOT CMAKE_CROSSCOMPILING)
  set(RIX_TESTER_CLANGXX "${CMAKE_CXX_COMPILER}")
else()
  find_program(RIX_TESTER_CLANGXX clang++)
endif()

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  # A host linked with ThinLTO, whose link check must hold.
  find_program(RIX_TESTER_LLD ld.lld)

  # libc++ builds link with libc++ and libc++abi. Other builds test a host built for libc++ with
  # clang++, where one links.
  string(TOUPPER "${CMAKE_BUILD_TYPE}" build_type)
  if(RIX_TESTER_STANDARD_LIBRARY STREQUAL "libcxx")
    rix_links_with(links "${CMAKE_CXX_COMPILER}" "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${build_type}}")
    if(NOT links)
      list(APPEND missing_packages libc++-14-dev libc++abi-14-dev)
    endif()
  else()
    set(RIX_TESTER_LIBCXX_COMPILER "")
    if(RIX_TESTER_CLANGXX AND NOT CMAKE_CROSSCOMPILING)
      rix_links_with(links "${RIX_TESTER_CLANGXX}" -stdlib=libc++)
      if(links)
        set(RIX_TESTER_LIBCXX_COMPILER "${RIX_TESTER_CLANGXX}")
      endif()
    endif()
  endif()

  # The checks of the binary contract.
  find_program(RIX_TESTER_ABIDIFF abidiff)
  find_program(RIX_TESTER_ABIDW abidw)
  if(NOT RIX_TESTER_ABIDIFF OR NOT RIX_TESTER_ABIDW)
    list(APPEND missing_packages abigail-tools)
  endif()
  if(NOT CMAKE_NM OR NOT CMAKE_READELF)
    list(APPEND missing_packages binutils)
  endif()
  find_program(RIX_TESTER_ELFLINT eu-elflint)
  if(NOT RIX_TESTER_ELFLINT)
    list(APPEND missing_packages elfutils)
  endif()
elseif(WIN32 AND CMAKE_CROSSCOMPILING)
  find_program(RIX_TESTER_WINE wine)
  if(NOT RIX_TESTER_WINE)
    list(APPEND missing_packages wine wine64)
  endif()
endif()

if(missing_packages)
  list(JOIN missing_packages " " missing)
  file(STRINGS "${PROJECT_SOURCE_DIR}/README.md" readme_install_line REGEX "^apt-get install ")
  message(
    FATAL_ERROR
      "The tests need what these packages install: ${missing}. On Debian 12:\n"
      "  apt-get install ${missing}\n"
      "The README's line installs all that its two commands need:\n"
      "  ${readme_install_line}\n"
      "The example and release presets need none of it (BUILD_TESTING=OFF).")
endif()
