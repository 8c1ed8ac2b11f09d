# Makes every artifact of a release in build/packages, each with its .sha256: the Linux .tar.gz,
# the Debian packages and the Windows .zip, by the package workflows in turn. The same commit
# gives the same bytes whoever makes them, from any folder, at any time, with any umask, time zone
# or locale: times come from the commit, owners and modes from the install rules
# (release/cpack-post-build.cmake), and the workflows run in UTC and in the C locale (its UTF-8
# form, in which a path may hold any letter).
# Usage, from the source folder: cmake -P cmake/release.cmake
get_filename_component(source_dir "${CMAKE_CURRENT_LIST_DIR}" DIRECTORY)
file(REMOVE_RECURSE "${source_dir}/build/packages")
set(ENV{TZ} UTC)
set(ENV{LC_ALL} C.UTF-8)
foreach(workflow IN ITEMS package package-deb windows-package)
  execute_process(COMMAND "${CMAKE_COMMAND}" --workflow --preset ${workflow}
                  WORKING_DIRECTORY "${source_dir}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
# CPack's staging folder, beside the artifacts.
file(REMOVE_RECURSE "${source_dir}/build/packages/_CPack_Packages")
