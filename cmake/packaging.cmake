# Release archives and packages of the install, made by CPack from a build of the release presets:
# a .tar.gz on Linux, a .zip of the Windows build, and Debian packages from the deb preset
# (prefix /usr, libraries in the multiarch folder). Each archive holds the library, the headers,
# the CMake package and pkg-config files, the capture and the mock, under one folder named after
# the package and platform.
set(CPACK_PACKAGE_NAME "${PROJECT_NAME}")
set(CPACK_PACKAGE_VENDOR "${PROJECT_NAME} developers")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  # Named for its ABI: a host must be built by the same toolchain.
  if(MINGW)
    set(CPACK_SYSTEM_NAME win64-mingw-w64)
  elseif(MSVC)
    set(CPACK_SYSTEM_NAME win64-msvc)
  endif()
else()
  set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_COMPONENTS_ALL ${runtime_component} ${development_component} ${mock_component})
set(CPACK_PACKAGE_CHECKSUM SHA256)
# Without their debug information: the archives are for hosts, not for debugging the library.
set(CPACK_STRIP_FILES ON)

# The same commit gives the same bytes: every time inside the packages is the commit's, or
# SOURCE_DATE_EPOCH's where it is set, which CPack reads when it packs. Without a git checkout,
# the sources are taken to be what `git archive` made of the commit, which stamps every file
# with its time.
set(source_date_epoch "$ENV{SOURCE_DATE_EPOCH}")
if(source_date_epoch STREQUAL "" AND EXISTS "${PROJECT_SOURCE_DIR}/.git")
  find_package(Git QUIET)
  if(NOT Git_FOUND)
    message(FATAL_ERROR "The packages take the commit's time from git: apt-get install git, or "
                        "set SOURCE_DATE_EPOCH to it (seconds since 1970)")
  endif()
  # Not COMMAND_ERROR_IS_FATAL, which CMake 3.18 does not know.
  execute_process(
    COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE source_date_epoch
    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE git_failed)
  if(git_failed)
    message(FATAL_ERROR "git log cannot read the commit's time: ${git_failed}")
  endif()
elseif(source_date_epoch STREQUAL "")
  file(TIMESTAMP "${PROJECT_SOURCE_DIR}/CMakeLists.txt" source_date_epoch "%s" UTC)
endif()
set(CPACK_RIX_TESTER_SOURCE_DATE_EPOCH "${source_date_epoch}")
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/cpack-options.cmake")
# Owners, modes, times and order inside the archives come from here, not from the builder.
set(CPACK_POST_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/release/cpack-post-build.cmake")

# Debian packages, as Debian's policy has libraries: the runtime package named after the SONAME
# holds the shared library alone; the -dev package the headers, the name link, the capture and
# the package files; the mock a package of its own. Dependencies come from the binary
# (dpkg-shlibdeps), and a shlibs file gives packages built against the library theirs.
string(REPLACE "_" "-" deb_name "lib${PROJECT_NAME}")
string(TOUPPER "${runtime_component}" deb_runtime)
string(TOUPPER "${development_component}" deb_development)
string(TOUPPER "${mock_component}" deb_mock)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER
    "${CPACK_PACKAGE_VENDOR} <${deb_name}@example.org>"
    CACHE STRING "The Maintainer field of the Debian packages")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_${deb_runtime}_PACKAGE_NAME "${deb_name}${PROJECT_VERSION_MAJOR}")
set(CPACK_DEBIAN_${deb_runtime}_PACKAGE_SECTION libs)
# ldconfig runs from a trigger; the maintainer scripts with which CPack would call it are taken
# out, and the symbols file put in, after packing (release/cpack-post-build.cmake).
set(CPACK_DEBIAN_${deb_runtime}_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/cmake/release/triggers")
set(CPACK_RIX_TESTER_RUNTIME_PACKAGE "${deb_name}${PROJECT_VERSION_MAJOR}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_${deb_development}_PACKAGE_NAME "${deb_name}-dev")
set(CPACK_DEBIAN_${deb_development}_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_${deb_mock}_PACKAGE_NAME "${deb_name}-mock-dev")
set(CPACK_DEBIAN_${deb_mock}_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_${deb_mock}_PACKAGE_DEPENDS "libgtest-dev, libgmock-dev")
set(CPACK_COMPONENT_${deb_development}_DEPENDS ${runtime_component})
set(CPACK_COMPONENT_${deb_mock}_DEPENDS ${development_component})
set(CPACK_COMPONENT_${deb_runtime}_DESCRIPTION
    "Console-only RIX plugin context for running and testing plugin code
VAZUVURIZ_RIX_TESTER implements the RIX plugin context TavreneContext on the
console alone: it prints a banner when created, answers ten configuration keys
from its options, prints each log message as one labelled line, and accepts
packets without sending them.")
set(CPACK_COMPONENT_${deb_development}_DESCRIPTION
    "Console-only RIX plugin context (development files)
The headers of the plugin contract and of VAZUVURIZ_RIX_TESTER, the CMake
package and pkg-config files, and the stdout capture for tests that assert on
console output.")
set(CPACK_COMPONENT_${deb_mock}_DESCRIPTION
    "Console-only RIX plugin context (gMock mock of the context)
VAZUVURIZ_RIX_CONTEXT_MOCK, a gMock mock of TavreneContext, for the tests of
plugin code that must react to what its context answers: the CMake package's
component mock.")

# Each Debian package's documentation folder holds its change log, in Debian's format, as
# Debian's policy asks: one entry, this release, dated from the commit.
option(RIX_TESTER_DEBIAN_CHANGELOGS "Install a change log into each Debian package's folder" OFF)
if(RIX_TESTER_DEBIAN_CHANGELOGS)
  # string(TIMESTAMP) reads the time from SOURCE_DATE_EPOCH, set here for that call alone.
  set(environment_epoch "$ENV{SOURCE_DATE_EPOCH}")
  set(ENV{SOURCE_DATE_EPOCH} "${source_date_epoch}")
  string(TIMESTAMP release_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
  set(ENV{SOURCE_DATE_EPOCH} "${environment_epoch}")
  foreach(component IN LISTS CPACK_COMPONENTS_ALL)
    string(TOUPPER "${component}" upper)
    set(deb_package "${CPACK_DEBIAN_${upper}_PACKAGE_NAME}")
    set(changelog "${PROJECT_BINARY_DIR}/debian/${deb_package}/changelog")
    file(WRITE "${changelog}"
         "${deb_package} (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
         "  * Release ${PROJECT_VERSION} of ${PROJECT_NAME}.\n\n"
         " -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${release_date}\n")
    execute_process(COMMAND gzip -9nf "${changelog}" RESULT_VARIABLE gzip_failed)
    if(gzip_failed)
      message(FATAL_ERROR "gzip cannot compress ${changelog}: ${gzip_failed}")
    endif()
    install(FILES "${changelog}.gz" DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/${deb_package}"
            COMPONENT ${component})
  endforeach()
endif()
include(CPack)
