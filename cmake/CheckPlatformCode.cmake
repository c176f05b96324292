# cmake -DSOURCE_DIR=<src> -P CheckPlatformCode.cmake
# Fails when a file of src/ outside src/system/ tests a macro of the
# operating system, the compiler or the machine: platform-specific code is
# decided once, in src/system/, and the rest of the program calls it.
set(_questions _WIN32 __unix__ __APPLE__ __linux__ __FreeBSD__ __GNUC__ __clang__
  __BYTE_ORDER__ __SIZEOF_INT128__)
list(JOIN _questions "|" _pattern)

file(GLOB_RECURSE _files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp"
  "${SOURCE_DIR}/*.in")
set(_faults 0)
set(_asked 0)
foreach(_file IN LISTS _files)
  file(STRINGS "${SOURCE_DIR}/${_file}" _lines REGEX "(${_pattern})")
  if(_file MATCHES "^system/")
    list(LENGTH _lines _count)
    math(EXPR _asked "${_asked} + ${_count}")
    continue()
  endif()
  foreach(_line IN LISTS _lines)
    message(SEND_ERROR "${_file} tests the platform outside src/system: ${_line}")
    math(EXPR _faults "${_faults} + 1")
  endforeach()
endforeach()
if(_faults GREATER 0)
  message(FATAL_ERROR "${_faults} platform-specific test(s) outside src/system")
endif()
message(STATUS "${_asked} platform-specific tests, every one in src/system")
