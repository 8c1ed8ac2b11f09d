# Builds the consumer in the configurations (Debug, Release) of one Ninja Multi-Config build, as
# Visual Studio builds, and runs its tests in the configurations RUN. With LIBRARY (the
# library's sources), the library is built the same way first and both configurations are
# installed in one prefix, where the consumer, built in RelWithDebInfo and MinSizeRel too, finds
# each as its own configuration of the package and the other two as Release, with no setting of
# its own; a Debug host that takes the Release library must then fail to link, saying REFUSED. Without
# it, the consumer adds the library's sources to its own build. The options in OPTIONS_FILE, a
# CMake list (a semicolon inside an option escaped), go to every configure.
# Usage: cmake -D WORK=<dir> -D CONSUMER=<dir> -D OPTIONS_FILE=<file> -D RUN=<list>
#              [-D LIBRARY=<dir> -D REFUSED=<regex>] -P multi_config.cmake

# Runs the command in the list named `list_name`, split there once, and fails saying what it said.
function(run list_name)
  execute_process(COMMAND ${${list_name}} RESULT_VARIABLE failed OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(failed)
    message(FATAL_ERROR "${${list_name}}\nfailed:\n${output}")
  endif()
endfunction()

file(READ "${OPTIONS_FILE}" options)
set(configurations Debug Release)
if(LIBRARY)
  set(command "${CMAKE_COMMAND};-G;Ninja Multi-Config;--fresh;${options};-S;${LIBRARY};-B;${WORK}/library;-DBUILD_TESTING=OFF")
  run(command)
  foreach(configuration IN LISTS configurations)
    set(command "${CMAKE_COMMAND};--build;${WORK}/library;--config;${configuration}")
    run(command)
    set(command "${CMAKE_COMMAND};--install;${WORK}/library;--config;${configuration};--prefix;${WORK}/prefix")
    run(command)
  endforeach()
  set(route "-DCONSUMER_MODE=find_package;-Dpgm_vazuvuriz_rix_tester_DIR=${WORK}/prefix/lib/cmake/pgm_vazuvuriz_rix_tester")
  file(WRITE "${WORK}/configurations.cmake"
       "set(CMAKE_CONFIGURATION_TYPES Debug Release RelWithDebInfo MinSizeRel CACHE STRING \"\")\n")
  list(APPEND route -C "${WORK}/configurations.cmake")
  list(APPEND configurations RelWithDebInfo MinSizeRel)
else()
  set(route -DCONSUMER_MODE=add_subdirectory)
endif()
set(command "${CMAKE_COMMAND};-G;Ninja Multi-Config;--fresh;${options};-S;${CONSUMER};-B;${WORK}/host;${route};-DCONSUMER_USES_MOCK=OFF")
run(command)
foreach(configuration IN LISTS configurations)
  set(command "${CMAKE_COMMAND};--build;${WORK}/host;--config;${configuration}")
  run(command)
endforeach()
foreach(configuration IN LISTS RUN)
  set(command "${CMAKE_CTEST_COMMAND};--test-dir;${WORK}/host;-C;${configuration};--output-on-failure")
  run(command)
endforeach()

if(REFUSED)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" --build "${WORK}/host" --config Debug --target
            release_library_in_debug_host
    RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT failed OR NOT output MATCHES "${REFUSED}")
    message(FATAL_ERROR "a Debug host took the Release library without \"${REFUSED}\":\n${output}")
  endif()
endif()
