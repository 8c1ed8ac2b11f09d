# Asks the package in PACKAGE_DIR for versions and components as a project would, each in turn
# in one project folder under WORK (the compiler found once, with the consumer's GENERATOR,
# MAKE_PROGRAM and TOOLCHAIN file), where no GoogleTest can be found: another major version,
# newer or older, fails, an unknown component fails naming it, and the mock is found where
# MOCK_FOUND says (an installed package finds no GoogleTest, or has no mock; a copy taken with
# FetchContent has the GoogleTest of its build): optional, the package is found all the same;
# required and missing, it fails saying why. The folder is made anew on each run: one kept from
# an earlier run may hold another generator's cache.
file(REMOVE_RECURSE "${WORK}")
function(expect_components arguments expected_result expected_output)
  set(name probe)
  file(WRITE "${WORK}/${name}/CMakeLists.txt"
       "cmake_minimum_required(VERSION 3.18)\nproject(probe LANGUAGES CXX)\n"
       "find_package(pgm_vazuvuriz_rix_tester ${arguments})\n"
       "message(STATUS \"library found: \${pgm_vazuvuriz_rix_tester_FOUND}, "
       "mock found: \${pgm_vazuvuriz_rix_tester_mock_FOUND}\")\n")
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -S "${WORK}/${name}" -B "${WORK}/${name}/build" -G "${GENERATOR}"
            "-DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}"
            "-Dpgm_vazuvuriz_rix_tester_DIR=${PACKAGE_DIR}" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
            "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  string(REGEX REPLACE "[ \n]+" " " output "${output}")
  if(NOT result EQUAL expected_result OR NOT output MATCHES "${expected_output}")
    message(FATAL_ERROR "find_package(... ${arguments}) ended with ${result}, saying: ${output}")
  endif()
endfunction()

expect_components("2 CONFIG REQUIRED" 1 "compatible with requested version \"2\"")
expect_components("0.9 CONFIG REQUIRED" 1 "compatible with requested version \"0.9\"")
expect_components("1 CONFIG REQUIRED COMPONENTS mokc" 1 "component \"mokc\" is no component")
if(MOCK_FOUND)
  expect_components("1 CONFIG OPTIONAL_COMPONENTS mock" 0 "library found: 1, mock found: TRUE")
  expect_components("1 CONFIG REQUIRED COMPONENTS mock" 0 "library found: 1, mock found: TRUE")
else()
  expect_components("1 CONFIG OPTIONAL_COMPONENTS mock" 0 "library found: 1, mock found: FALSE")
  expect_components("1 CONFIG REQUIRED COMPONENTS mock" 1
                    "component \"mock\" (needs GoogleTest|is not installed)")
endif()
