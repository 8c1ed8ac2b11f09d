# Release archives of the install, made by CPack from a build of the release presets: a .tar.gz
# on Linux, a .zip of the Windows build. Each holds the library, the headers, the CMake package
# and pkg-config files, and the mock, under one folder named after the package and platform.
set(CPACK_PACKAGE_NAME "${PROJECT_NAME}")
set(CPACK_PACKAGE_VENDOR "${PROJECT_NAME} developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_COMPONENTS_ALL ${runtime_component} ${development_component} ${mock_component})
set(CPACK_PACKAGE_CHECKSUM SHA256)
# Without their debug information: the archives are for hosts, not for debugging the library.
set(CPACK_STRIP_FILES ON)
include(CPack)
