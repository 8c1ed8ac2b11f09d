# The package's one component, mock, only for those who ask for it: it brings GoogleTest's gmock
# along, which a project may already provide as a target of its own. A component that cannot be
# had sets its own _FOUND false; the package is not found only when it was required.
#
# Included by the installed package's config, and by the extra file that a copy taken with
# FetchContent writes for find_package() calls (with pgm_vazuvuriz_rix_tester_in_build set, and
# pgm_vazuvuriz_rix_tester_build_has_gmock telling whether that build found GoogleTest).
set(pgm_vazuvuriz_rix_tester_mock_targets
    "${CMAKE_CURRENT_LIST_DIR}/pgm_vazuvuriz_rix_tester-mock-targets.cmake")
set(pgm_vazuvuriz_rix_tester_missing "")
foreach(component IN LISTS pgm_vazuvuriz_rix_tester_FIND_COMPONENTS)
  set(pgm_vazuvuriz_rix_tester_${component}_FOUND FALSE)
  if(NOT component STREQUAL "mock")
    set(pgm_vazuvuriz_rix_tester_why "is no component of this package (it has one: mock)")
  elseif(pgm_vazuvuriz_rix_tester_in_build)
    # The build's GoogleTest may be out of the caller's sight (found in the build's own folder):
    # the caller finds it too, and so gets its targets, GTest::gtest_main among them, as from the
    # installed package.
    if(pgm_vazuvuriz_rix_tester_build_has_gmock AND NOT TARGET GTest::gtest_main
       AND NOT TARGET GTest::Main)
      include("${CMAKE_CURRENT_LIST_DIR}/find-gmock.cmake")
    endif()
    if(pgm_vazuvuriz_rix_tester_build_has_gmock OR TARGET GTest::gmock)
      set(pgm_vazuvuriz_rix_tester_mock_FOUND TRUE)
    else()
      set(pgm_vazuvuriz_rix_tester_why
          "needs GoogleTest's gmock (GTest::gmock), and the build found no GoogleTest with gmock")
    endif()
  elseif(NOT EXISTS "${pgm_vazuvuriz_rix_tester_mock_targets}")
    set(pgm_vazuvuriz_rix_tester_why "is not installed (pgm_vazuvuriz_rix_tester_mock)")
  else()
    include("${CMAKE_CURRENT_LIST_DIR}/find-gmock.cmake")
    if(NOT TARGET GTest::gmock)
      set(pgm_vazuvuriz_rix_tester_why
          "needs GoogleTest's gmock (GTest::gmock), and no GoogleTest with gmock was found: \
install it (Debian: libgtest-dev libgmock-dev) or point GTest_DIR at its CMake files")
    else()
      if(NOT TARGET pgm_vazuvuriz_rix_tester::mock)
        include("${pgm_vazuvuriz_rix_tester_mock_targets}")
        # Here, not in the target's INSTALL_INTERFACE: a GoogleTest built in the library's own
        # tree names its gmock GTest::gmock too, and install(EXPORT) would demand that it be
        # exported.
        set_property(TARGET pgm_vazuvuriz_rix_tester::mock APPEND
                     PROPERTY INTERFACE_LINK_LIBRARIES GTest::gmock)
      endif()
      set(pgm_vazuvuriz_rix_tester_mock_FOUND TRUE)
    endif()
  endif()
  if(NOT pgm_vazuvuriz_rix_tester_${component}_FOUND
     AND pgm_vazuvuriz_rix_tester_FIND_REQUIRED_${component})
    string(APPEND pgm_vazuvuriz_rix_tester_missing
           "the component \"${component}\" ${pgm_vazuvuriz_rix_tester_why}. ")
  endif()
endforeach()

if(pgm_vazuvuriz_rix_tester_missing)
  set(pgm_vazuvuriz_rix_tester_FOUND FALSE)
  set(pgm_vazuvuriz_rix_tester_NOT_FOUND_MESSAGE "${pgm_vazuvuriz_rix_tester_missing}")
endif()
