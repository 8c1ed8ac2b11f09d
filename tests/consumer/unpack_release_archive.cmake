# Makes the release archive of the build whose CPack configuration is CPACK_CONFIG, with the
# CPack at CPACK, in ARCHIVE_DIR, and unpacks it as a user would. The archive holds one folder,
# named as the archive is; it ends up as ARCHIVE_DIR/unpacked.
file(REMOVE_RECURSE "${ARCHIVE_DIR}")
execute_process(COMMAND "${CPACK}" --config "${CPACK_CONFIG}" -B "${ARCHIVE_DIR}" OUTPUT_QUIET
                        COMMAND_ERROR_IS_FATAL ANY)
file(GLOB archive "${ARCHIVE_DIR}/*.tar.gz" "${ARCHIVE_DIR}/*.zip")
list(LENGTH archive archives)
if(NOT archives EQUAL 1)
  message(FATAL_ERROR "expected one archive in ${ARCHIVE_DIR}, found: ${archive}")
endif()
file(ARCHIVE_EXTRACT INPUT "${archive}" DESTINATION "${ARCHIVE_DIR}/extracted")
get_filename_component(folder "${archive}" NAME)
string(REGEX REPLACE "\\.(tar\\.gz|zip)$" "" folder "${folder}")
file(GLOB top_level RELATIVE "${ARCHIVE_DIR}/extracted" "${ARCHIVE_DIR}/extracted/*")
if(NOT top_level STREQUAL folder)
  message(FATAL_ERROR "${archive} holds ${top_level}, not one folder named ${folder}")
endif()
file(RENAME "${ARCHIVE_DIR}/extracted/${folder}" "${ARCHIVE_DIR}/unpacked")
