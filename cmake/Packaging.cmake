# Installation and packages. `cmake --install` puts the program and its
# manual page in the usual places; CPack makes from the same installation a
# Debian package and a .tar.gz (on Linux, FreeBSD and other Unix systems, each
# for itself) and, from the Windows build, a .zip of the program, the manual
# as text and the README. `cmake --workflow --preset package` (or
# `package-windows`) builds them into build/release (build/windows).
include(GNUInstallDirs)

if(WIN32)
  # One folder to unpack: everything at its top.
  install(TARGETS tarnvel RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION .)
  find_program(TARNVEL_GROFF_FOR_TEXT groff)
  if(TARNVEL_GROFF_FOR_TEXT)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/tarnvel.txt
      COMMAND ${TARNVEL_GROFF_FOR_TEXT} -man -Tascii -P-c -P-b -P-u ${PROJECT_SOURCE_DIR}/tarnvel.1
        > ${PROJECT_BINARY_DIR}/tarnvel.txt
      DEPENDS ${PROJECT_SOURCE_DIR}/tarnvel.1
      COMMENT "The manual page as text")
    add_custom_target(manual_text ALL DEPENDS ${PROJECT_BINARY_DIR}/tarnvel.txt)
    install(FILES ${PROJECT_BINARY_DIR}/tarnvel.txt DESTINATION .)
  else()
    install(FILES tarnvel.1 DESTINATION .)
  endif()
else()
  install(TARGETS tarnvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Manual pages are installed compressed, as systems keep them.
  find_program(TARNVEL_GZIP gzip)
  if(TARNVEL_GZIP)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/tarnvel.1.gz
      COMMAND ${TARNVEL_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/tarnvel.1 > ${PROJECT_BINARY_DIR}/tarnvel.1.gz
      DEPENDS ${PROJECT_SOURCE_DIR}/tarnvel.1
      COMMENT "The manual page, compressed")
    add_custom_target(manual_page ALL DEPENDS ${PROJECT_BINARY_DIR}/tarnvel.1.gz)
    install(FILES ${PROJECT_BINARY_DIR}/tarnvel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    install(FILES tarnvel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME tarnvel)
set(CPACK_PACKAGE_VENDOR "tarnvel")
set(CPACK_PACKAGE_CONTACT "tarnvel maintainers <maintainers@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "query a QSO absorption-line catalogue into an HTML page")
set(CPACK_PACKAGE_DESCRIPTION "tarnvel reads a query form, a table style and a catalogue of QSOs with
absorption-line systems from its working directory, selects the entries
inside every interval of the query and writes them, with a summary of the
query, as the HTML page results.html.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)
if(WIN32)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB TGZ)
  # The Debian package installs under /usr; the archive holds bin/ and
  # share/ at its top, to unpack under any prefix.
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagePrefix.cmake)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The C and C++ runtime libraries the program links, as dpkg-shlibdeps
  # finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
