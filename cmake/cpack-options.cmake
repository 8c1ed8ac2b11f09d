# Read by CPack before it packs: stamps every file with the commit's time, unless
# SOURCE_DATE_EPOCH says otherwise.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "" AND NOT CPACK_RIX_TESTER_SOURCE_DATE_EPOCH STREQUAL "")
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_RIX_TESTER_SOURCE_DATE_EPOCH}")
endif()

# A Debian package's synopsis is the first line of its component's description: CPack would put
# the project's summary before it.
if(CPACK_GENERATOR STREQUAL "DEB")
  unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
  # Without file, CPack stops with a message that names no package; without dpkg-dev, it makes
  # packages with no Depends and no symbols, worse than a release, and says nothing.
  find_program(RIX_TESTER_FILE file)
  find_program(RIX_TESTER_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT RIX_TESTER_FILE OR NOT RIX_TESTER_DPKG_SHLIBDEPS)
    message(FATAL_ERROR "The Debian packages need file and dpkg-dev: apt-get install file dpkg-dev")
  endif()
endif()
