# Read by CPack for each generator: the Debian package installs under /usr,
# the .tar.gz holds its files relative to the folder it unpacks into.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  # The libraries the programs depend on are found with dpkg-shlibdeps, which
  # needs file: without them the package would depend on nothing.
  find_program(_tarnvel_shlibdeps dpkg-shlibdeps)
  find_program(_tarnvel_file file)
  if(NOT _tarnvel_shlibdeps OR NOT _tarnvel_file)
    message(FATAL_ERROR "The Debian package needs dpkg-shlibdeps and file to find the libraries "
      "it depends on; install them first (Debian: apt-get install dpkg-dev file).")
  endif()
elseif(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()
