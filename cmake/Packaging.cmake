# Installation and packages. `cmake --install` puts the program and its
# manual page in the usual places; CPack makes from the same installation a
# Debian package and a .tar.gz (on Linux, FreeBSD and other Unix systems, each
# for itself) and, from the Windows build, a .zip of the program, the manual
# as text and the README. `cmake --workflow --preset package` (or
# `package-windows`) builds them into build/release (build/windows).
include(GNUInstallDirs)

# The manual pages of the programs. tarnvel-cgi, a CGI program, is for
# POSIX systems only.
set(TARNVEL_MANUAL_PAGES tarnvel.1 tarnvel-check.1)
if(TARGET tarnvel-cgi)
  list(APPEND TARNVEL_MANUAL_PAGES tarnvel-cgi.8)
  # Where Debian keeps CGI programs: lib/cgi-bin, as "tarnvel".
  install(TARGETS tarnvel-cgi RUNTIME DESTINATION lib/cgi-bin)
endif()

find_program(TARNVEL_GROFF_FOR_TEXT groff)
find_program(TARNVEL_GZIP gzip)

# tarnvel_install_manual(<page>): installs the manual page <page> of the
# sources: as text beside the programs on Windows (as the page itself where
# groff is missing), compressed in its section's folder elsewhere.
function(tarnvel_install_manual page)
  string(REGEX MATCH "[0-9]$" section "${page}")
  get_filename_component(stem "${page}" NAME_WE)
  set(source ${PROJECT_SOURCE_DIR}/${page})
  if(WIN32)
    if(TARNVEL_GROFF_FOR_TEXT)
      add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${stem}.txt
        COMMAND ${TARNVEL_GROFF_FOR_TEXT} -man -Tascii -P-c -P-b -P-u ${source}
          > ${PROJECT_BINARY_DIR}/${stem}.txt
        DEPENDS ${source}
        COMMENT "The manual page ${page} as text")
      add_custom_target(manual_text_${stem} ALL DEPENDS ${PROJECT_BINARY_DIR}/${stem}.txt)
      install(FILES ${PROJECT_BINARY_DIR}/${stem}.txt DESTINATION .)
    else()
      install(FILES ${source} DESTINATION .)
    endif()
  elseif(TARNVEL_GZIP)
    # Manual pages are installed compressed, as systems keep them.
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${page}.gz
      COMMAND ${TARNVEL_GZIP} -9 -n -c ${source} > ${PROJECT_BINARY_DIR}/${page}.gz
      DEPENDS ${source}
      COMMENT "The manual page ${page}, compressed")
    add_custom_target(manual_page_${stem} ALL DEPENDS ${PROJECT_BINARY_DIR}/${page}.gz)
    install(FILES ${PROJECT_BINARY_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  else()
    install(FILES ${source} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  endif()
endfunction()

if(WIN32)
  # One folder to unpack: everything at its top.
  install(TARGETS tarnvel tarnvel-check RUNTIME DESTINATION .)
  install(FILES README.md LICENSE CHANGELOG.md DESTINATION .)
  install(FILES docs/guide.md DESTINATION .)
else()
  install(TARGETS tarnvel tarnvel-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The documents as Debian keeps them: the licence as the machine-readable
  # copyright file, the changelog in Debian's form, compressed.
  install(FILES README.md docs/guide.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/CHANGELOG.md
      -DOUTPUT=${PROJECT_BINARY_DIR}/changelog -DPACKAGE=tarnvel
      "-DMAINTAINER=tarnvel maintainers <maintainers@example.org>"
      -P ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
    COMMENT "The changelog in Debian's form" VERBATIM)
  if(TARNVEL_GZIP)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
      COMMAND ${TARNVEL_GZIP} -9 -n -c ${PROJECT_BINARY_DIR}/changelog > ${PROJECT_BINARY_DIR}/changelog.gz
      DEPENDS ${PROJECT_BINARY_DIR}/changelog
      COMMENT "The changelog, compressed")
    add_custom_target(debian_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
    install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  else()
    add_custom_target(debian_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog)
    install(FILES ${PROJECT_BINARY_DIR}/changelog DESTINATION ${CMAKE_INSTALL_DOCDIR})
  endif()
  # What lintian is told about the package, each with its reason.
  install(FILES packaging/lintian-overrides DESTINATION share/lintian/overrides RENAME tarnvel)
endif()
foreach(page IN LISTS TARNVEL_MANUAL_PAGES)
  tarnvel_install_manual(${page})
endforeach()

set(CPACK_PACKAGE_NAME tarnvel)
set(CPACK_PACKAGE_VENDOR "tarnvel")
set(CPACK_PACKAGE_CONTACT "tarnvel maintainers <maintainers@example.org>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
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
