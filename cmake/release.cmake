# Makes every artifact of a release in build/packages, each with its .sha256: the Linux .tar.gz,
# the Debian packages and the Windows .zip, by the package workflows in turn. Every time inside
# them is the commit's, so the same commit gives the same bytes in any folder, at any time.
# Usage, from the source folder: cmake -P cmake/release.cmake
get_filename_component(source_dir "${CMAKE_CURRENT_LIST_DIR}" DIRECTORY)
file(REMOVE_RECURSE "${source_dir}/build/packages")
foreach(workflow IN ITEMS package package-deb windows-package)
  execute_process(COMMAND "${CMAKE_COMMAND}" --workflow --preset ${workflow}
                  WORKING_DIRECTORY "${source_dir}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
