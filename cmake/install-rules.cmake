include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Folders that the install makes take these modes, not the installer's umask.
if(NOT DEFINED CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS)
  set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()

set(package pgm_vazuvuriz_rix_tester)
set(RIX_TESTER_INSTALL_CMAKEDIR
    "${CMAKE_INSTALL_LIBDIR}/cmake/${package}"
    CACHE STRING "Where the CMake package files go, relative to the install prefix")
mark_as_advanced(RIX_TESTER_INSTALL_CMAKEDIR)
set(package_config_dir "${RIX_TESTER_INSTALL_CMAKEDIR}")
# Named after the project, so that a parent project that adds this one as a subdirectory can
# install its own components without this library's, or this library's alone.
set(runtime_component ${package}_runtime)
set(development_component ${package}_development)
set(mock_component ${package}_mock)

install(
  TARGETS pgm_vazuvuriz_rix_tester pgm_vazuvuriz_rix_contract pgm_vazuvuriz_rix_stdout_capture
  EXPORT ${package}-targets
  RUNTIME COMPONENT ${runtime_component}
  LIBRARY COMPONENT ${runtime_component} NAMELINK_COMPONENT ${development_component}
  ARCHIVE COMPONENT ${development_component}
  INCLUDES DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}")
# The headers of the library and of the contract, the generated ones, and the capture's.
install(
  DIRECTORY "${PROJECT_SOURCE_DIR}/contract/include/" "${PROJECT_SOURCE_DIR}/tester/include/"
            "${PROJECT_BINARY_DIR}/tester/include/"
  DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}"
  COMPONENT ${development_component})
install(FILES "${PROJECT_SOURCE_DIR}/testing/include/vazuvuriz_rix/stdout_capture.hpp"
        DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/vazuvuriz_rix" COMPONENT ${development_component})

install(
  EXPORT ${package}-targets
  NAMESPACE ${package}::
  DESTINATION "${package_config_dir}"
  COMPONENT ${development_component})

# The mock, a package component of its own (COMPONENTS mock), in an export set of its own that
# the package's config loads only for those who ask, since it brings GoogleTest along.
install(
  TARGETS pgm_vazuvuriz_rix_mock
  EXPORT ${package}-mock-targets
  INCLUDES DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}")
install(FILES "${PROJECT_SOURCE_DIR}/testing/include/vazuvuriz_rix/context_mock.hpp"
        DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/vazuvuriz_rix" COMPONENT ${mock_component})
install(
  EXPORT ${package}-mock-targets
  NAMESPACE ${package}::
  DESTINATION "${package_config_dir}"
  COMPONENT ${mock_component})

configure_package_config_file(
  cmake/package-config.cmake.in "${PROJECT_BINARY_DIR}/${package}-config.cmake"
  INSTALL_DESTINATION "${package_config_dir}")
write_basic_package_version_file(
  "${PROJECT_BINARY_DIR}/${package}-config-version.cmake" COMPATIBILITY SameMajorVersion)
install(
  FILES "${PROJECT_BINARY_DIR}/${package}-config.cmake"
        "${PROJECT_BINARY_DIR}/${package}-config-version.cmake"
        "${PROJECT_SOURCE_DIR}/cmake/find-gmock.cmake"
        "${PROJECT_SOURCE_DIR}/cmake/package-components.cmake"
  DESTINATION "${package_config_dir}"
  COMPONENT ${development_component})

# The .pc file finds the prefix relative to itself, so an installed tree can be moved; installed
# into the system's own prefix (/usr: the Debian packages), it names its folders as they are,
# which pkg-config then recognises as the system's and leaves off the command lines.
set(pkgconfig_dir "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
if(IS_ABSOLUTE "${pkgconfig_dir}" OR CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(pc_prefix "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH pc_prefix_from_pc_dir "/${pkgconfig_dir}" "/")
  string(REGEX REPLACE "/$" "" pc_prefix_from_pc_dir "${pc_prefix_from_pc_dir}")
  set(pc_prefix "\${pcfiledir}/${pc_prefix_from_pc_dir}")
endif()
foreach(dir IN ITEMS LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
    set(pc_${dir} "${CMAKE_INSTALL_${dir}}")
  elseif(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(pc_${dir} "/usr/${CMAKE_INSTALL_${dir}}")
  else()
    set(pc_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()
# A shared library that links the capture keeps the capture's symbols to itself
# (testing/CMakeLists.txt says why).
set(pc_capture_link_options "")
if(RIX_TESTER_CAPTURE_ARCHIVE)
  set(pc_capture_link_options " -Wl,--exclude-libs,${RIX_TESTER_CAPTURE_ARCHIVE}")
endif()
# The capture's archive needs the C++ runtime it was built for, which is named: a host built for
# another then hears of the link check, where ld would stop first at that runtime missing from
# its command line ("DSO missing"). On Linux libstdc++ by its file, which clang's driver does
# not turn into libc++ as it does -lstdc++ under -stdlib=libc++.
if(RIX_TESTER_STANDARD_LIBRARY STREQUAL "libcxx")
  string(APPEND pc_capture_link_options " -lc++ -pthread")
elseif(RIX_TESTER_STANDARD_LIBRARY MATCHES "^libstdcxx" AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  string(APPEND pc_capture_link_options " -l:libstdc++.so.6 -pthread")
elseif(RIX_TESTER_STANDARD_LIBRARY MATCHES "^libstdcxx")
  string(APPEND pc_capture_link_options " -lstdc++ -pthread")
endif()
# The libraries of the configuration built (the Debug ones take a "d" in the MSVC ABI; of a
# multi-config build, the Release ones).
set(pc_library_postfix "")
if(MSVC AND CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(pc_library_postfix d)
endif()
foreach(pc_package IN ITEMS ${package} ${package}_mock)
  configure_file(cmake/${pc_package}.pc.in "${PROJECT_BINARY_DIR}/${pc_package}.pc" @ONLY)
endforeach()
install(
  FILES "${PROJECT_BINARY_DIR}/${package}.pc"
  DESTINATION "${pkgconfig_dir}"
  COMPONENT ${development_component})
install(
  FILES "${PROJECT_BINARY_DIR}/${package}_mock.pc"
  DESTINATION "${pkgconfig_dir}"
  COMPONENT ${mock_component})
