# Makes GTest::gmock a target for the mock, unless it is one already: from GoogleTest's own
# package files, else from CMake's FindGTest, which defines GTest::gmock only from CMake 3.23
# on. Where such a FindGTest has already defined GoogleTest's other targets, GoogleTest's package
# files would clash with them, and GTest::gmock is made from the gmock library beside gtest.
#
# Imported targets are seen only in the folder that found them: those found here are made global,
# so that a project that adds these sources and links GTest::gtest_main beside the mock finds it,
# as it does with the installed package.
if(TARGET GTest::gtest)
  set(rix_tester_gtest_found_here FALSE)
else()
  set(rix_tester_gtest_found_here TRUE)
endif()
if(NOT TARGET GTest::gmock AND NOT TARGET GTest::gtest)
  find_package(GTest QUIET CONFIG)
endif()
if(NOT TARGET GTest::gmock AND NOT TARGET GTest::gtest)
  find_package(GTest QUIET)
endif()
if(NOT TARGET GTest::gmock AND TARGET GTest::gtest)
  get_filename_component(gtest_library_dir "${GTEST_LIBRARY}" DIRECTORY)
  find_library(GMOCK_LIBRARY NAMES gmock HINTS "${gtest_library_dir}")
  find_path(GMOCK_INCLUDE_DIR gmock/gmock.h HINTS ${GTEST_INCLUDE_DIRS})
  if(GMOCK_LIBRARY AND GMOCK_INCLUDE_DIR)
    add_library(GTest::gmock UNKNOWN IMPORTED GLOBAL)
    set_target_properties(
      GTest::gmock PROPERTIES IMPORTED_LOCATION "${GMOCK_LIBRARY}" INTERFACE_INCLUDE_DIRECTORIES
                              "${GMOCK_INCLUDE_DIR}" INTERFACE_LINK_LIBRARIES GTest::gtest)
  endif()
endif()
if(rix_tester_gtest_found_here)
  foreach(target IN ITEMS GTest::gtest GTest::gtest_main GTest::gmock GTest::gmock_main GTest::GTest
                          GTest::Main)
    if(TARGET ${target})
      get_target_property(aliased ${target} ALIASED_TARGET)
      get_target_property(global ${target} IMPORTED_GLOBAL)
      if(NOT aliased AND NOT global)
        set_target_properties(${target} PROPERTIES IMPORTED_GLOBAL TRUE)
      endif()
    endif()
  endforeach()
endif()
