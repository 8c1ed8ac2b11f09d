# write_readme_test(README FILE): writes the README's first test, whole, to FILE, so that what
# the README shows is what the suite and the consumer build and run.
function(write_readme_test readme file)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${readme}")
  file(READ "${readme}" text)
  if(NOT text MATCHES "A first test, whole[^\n]*\n\n```cpp\n([^`]*)```")
    message(FATAL_ERROR "${readme} shows no first test")
  endif()
  file(WRITE "${file}.new" "${CMAKE_MATCH_1}")
  configure_file("${file}.new" "${file}" COPYONLY)
endfunction()
