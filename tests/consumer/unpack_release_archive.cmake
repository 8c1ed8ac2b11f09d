# Makes the release archive of the build whose CPack configuration is CPACK_CONFIG, with the
# CPack at CPACK, in ARCHIVE_DIR, and unpacks it into ARCHIVE_DIR/unpacked as a user would.
file(REMOVE_RECURSE "${ARCHIVE_DIR}")
execute_process(COMMAND "${CPACK}" --config "${CPACK_CONFIG}" -B "${ARCHIVE_DIR}" OUTPUT_QUIET
                        COMMAND_ERROR_IS_FATAL ANY)
file(GLOB archive "${ARCHIVE_DIR}/*.tar.gz" "${ARCHIVE_DIR}/*.zip")
list(LENGTH archive archives)
if(NOT archives EQUAL 1)
  message(FATAL_ERROR "expected one archive in ${ARCHIVE_DIR}, found: ${archive}")
endif()
file(ARCHIVE_EXTRACT INPUT "${archive}" DESTINATION "${ARCHIVE_DIR}/unpacked")
