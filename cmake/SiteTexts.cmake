# The page's texts that name the catalogue's makers. A site sets its own with
# -DTARNVEL_SITE_<NAME>=... when it configures; the defaults are neutral.
set(_tarnvel_site_defaults
  AUTHOR_1_NAME "Catalogue maintainer"
  AUTHOR_1_EMAIL "maintainer@example.org"
  AUTHOR_2_NAME "Second author"
  AUTHOR_2_EMAIL "second.author@example.org"
  AUTHOR_3_NAME "Third author"
  AUTHOR_3_EMAIL "third.author@example.org"
  INSTITUTION "Example Institute of Astronomy"
  GROUP "Catalogue group, Example Institute of Astronomy"
  CITY "Example City"
  YEAR "2026"
  SPONSOR_NAME "the Example Foundation"
  SPONSOR_LINK "https://example.org/"
)

set(TARNVEL_SITE_TEXTS_ARE_DEFAULTS 1)
list(LENGTH _tarnvel_site_defaults _count)
math(EXPR _last "${_count} - 1")
foreach(_i RANGE 0 ${_last} 2)
  math(EXPR _j "${_i} + 1")
  list(GET _tarnvel_site_defaults ${_i} _name)
  list(GET _tarnvel_site_defaults ${_j} _default)
  set(TARNVEL_SITE_${_name} "${_default}" CACHE STRING "Page text: ${_name}")
  if(NOT TARNVEL_SITE_${_name} STREQUAL _default)
    set(TARNVEL_SITE_TEXTS_ARE_DEFAULTS 0)
  endif()
  # As a C string literal: backslashes and double quotes escaped.
  string(REPLACE "\\" "\\\\" _escaped "${TARNVEL_SITE_${_name}}")
  string(REPLACE "\"" "\\\"" _escaped "${_escaped}")
  set(TARNVEL_SITE_${_name}_C "${_escaped}")
endforeach()

configure_file(${PROJECT_SOURCE_DIR}/src/report/site_texts.h.in
  ${PROJECT_BINARY_DIR}/generated/report/site_texts.h @ONLY)
