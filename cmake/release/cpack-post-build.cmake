# Run by CPack on each package it made, before it copies them out: makes the packages the same
# bytes whoever packs them, with whatever umask (reproducible_archive.py for the archives; the
# Debian packages rebuilt with 0755 folders), and finishes the runtime Debian package as
# Debian's library policy has it: its symbols file, made and checked by dpkg-gensymbols against
# release/symbols, and no maintainer scripts (CPack writes ldconfig calls; the package's ldconfig
# trigger does that work), so that apt-get remove leaves nothing behind.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  set(epoch 0)
endif()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.(tar\\.gz|zip)$")
    find_program(RIX_TESTER_PYTHON python3)
    if(NOT RIX_TESTER_PYTHON)
      message(FATAL_ERROR "Making a release archive needs python3 (apt-get install python3)")
    endif()
    execute_process(COMMAND "${RIX_TESTER_PYTHON}" "${CMAKE_CURRENT_LIST_DIR}/reproducible_archive.py"
                            "${package}" "${epoch}" COMMAND_ERROR_IS_FATAL ANY)
  elseif(package MATCHES "\\.deb$")
    set(tree "${CPACK_TOPLEVEL_DIRECTORY}/deb-package")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND dpkg-deb -R "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
    # The install rules give the files their modes; the folders got the packager's umask.
    execute_process(COMMAND find "${tree}" -type d -exec chmod 0755 {} +
                    COMMAND_ERROR_IS_FATAL ANY)
    if(package MATCHES "/${CPACK_RIX_TESTER_RUNTIME_PACKAGE}_[^/]*\\.deb$")
      file(REMOVE "${tree}/DEBIAN/postinst" "${tree}/DEBIAN/postrm")
      # In a folder of its own: dpkg-gensymbols reads debian/ where it runs, if there is one.
      file(MAKE_DIRECTORY "${tree}-symbols")
      execute_process(
        COMMAND dpkg-gensymbols "-p${CPACK_RIX_TESTER_RUNTIME_PACKAGE}" "-v${CPACK_PACKAGE_VERSION}"
                "-P${tree}" "-I${CMAKE_CURRENT_LIST_DIR}/symbols" "-O${tree}/DEBIAN/symbols" -c4
        WORKING_DIRECTORY "${tree}-symbols" COMMAND_ERROR_IS_FATAL ANY)
      file(CHMOD "${tree}/DEBIAN/symbols" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    endif()
    execute_process(COMMAND dpkg-deb --root-owner-group -b "${tree}" "${package}"
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
