# cmake -DSOURCE_DIR=<sources> -DPAGES=<page;page...> -P CheckManualPages.cmake
# Renders each manual page with groff (its tables through tbl), warnings
# on, and fails on any warning or error. Where groff is not installed it
# says so and checks nothing (the test then reports itself skipped); this
# is decided when the test runs, so that installing groff takes effect at
# once.
find_program(_groff groff)
if(NOT _groff)
  message("Skipped\ngroff is not installed: the manual pages were not checked (Debian: groff-base)")
  return()
endif()
set(_faults 0)
foreach(_page IN LISTS PAGES)
  execute_process(COMMAND ${_groff} -t -ww -z -man ${SOURCE_DIR}/${_page}
    RESULT_VARIABLE _status OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
  if(NOT _status EQUAL 0 OR NOT "${_out}${_err}" STREQUAL "")
    message(SEND_ERROR "${_page}: ${_out}${_err}")
    math(EXPR _faults "${_faults} + 1")
  endif()
endforeach()
if(_faults GREATER 0)
  message(FATAL_ERROR "${_faults} manual page(s) render with warnings")
endif()
list(LENGTH PAGES _count)
message(STATUS "${_count} manual pages render without a warning")
