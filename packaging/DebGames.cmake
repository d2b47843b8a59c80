# Run by cpack once the package's files are staged: a Debian package keeps its games in
# /usr/games, where the programs still find their pictures in ../share/quadrix.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
  if(IS_DIRECTORY ${usr}/bin)
    file(RENAME ${usr}/bin ${usr}/games)
  endif()
endif()
