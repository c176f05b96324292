# cmake -DSOURCE_DIR=<src> -P CheckPlatformQuestions.cmake
# Fails when a file of src/ outside src/system/ asks the preprocessor about
# the operating system, the compiler or the machine: those questions are
# decided once, in src/system/, and the rest of the program asks there.
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
    message(SEND_ERROR "${_file} asks about the platform outside src/system: ${_line}")
    math(EXPR _faults "${_faults} + 1")
  endforeach()
endforeach()
if(_faults GREATER 0)
  message(FATAL_ERROR "${_faults} platform question(s) outside src/system")
endif()
message(STATUS "${_asked} platform questions, every one in src/system")
