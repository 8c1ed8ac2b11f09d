# Installs the build in BUILD_DIR one component at a time, each into a folder of its own under
# PREFIX, and fails unless the library's files come under its prefixed component names alone:
# the shared library in the runtime component, headers and package files in the development
# one, the mock's header in the mock's.
foreach(component IN ITEMS runtime development pgm_vazuvuriz_rix_tester_runtime
                           pgm_vazuvuriz_rix_tester_development pgm_vazuvuriz_rix_tester_mock)
  file(REMOVE_RECURSE "${PREFIX}/${component}")
  execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --component ${component}
                          --prefix "${PREFIX}/${component}" OUTPUT_QUIET RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "installing the component ${component} failed: ${failed}")
  endif()
  file(GLOB_RECURSE installed RELATIVE "${PREFIX}/${component}" "${PREFIX}/${component}/*")
  set(installed_${component} "${installed}")
endforeach()

set(runtime "${installed_pgm_vazuvuriz_rix_tester_runtime}")
set(development "${installed_pgm_vazuvuriz_rix_tester_development}")
if(installed_runtime OR installed_development)
  message(FATAL_ERROR "generic components hold: ${installed_runtime} ${installed_development}")
endif()
if(NOT runtime MATCHES "pgm_vazuvuriz_rix_tester[^;/]*\\.(so|dll)" OR runtime MATCHES "include/")
  message(FATAL_ERROR "the runtime component holds more or less than the library: ${runtime}")
endif()
if(NOT installed_pgm_vazuvuriz_rix_tester_mock MATCHES "include/vazuvuriz_rix/context_mock\\.hpp")
  message(FATAL_ERROR "the mock component lacks its header: ${installed_pgm_vazuvuriz_rix_tester_mock}")
endif()
if(NOT development MATCHES "include/vazuvuriz_rix/rix_tester\\.hpp"
   OR NOT development MATCHES "pgm_vazuvuriz_rix_tester-config\\.cmake")
  message(FATAL_ERROR "the development component lacks headers or package files: ${development}")
endif()
