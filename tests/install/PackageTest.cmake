# Packages the build as a Debian package with cpack, checks where its files lie, runs the
# packaged simulator from the unpacked tree (it finds its pictures from /usr/games) and lints
# the package. Skips, saying so, without dpkg-deb or lintian.
#   cmake -DBUILD=dir -DOUT=dir -DGAME=ON|OFF -P PackageTest.cmake
find_program(DPKG_DEB dpkg-deb)
find_program(LINTIAN lintian)
if(NOT DPKG_DEB OR NOT LINTIAN)
  message(STATUS "skipped: no dpkg-deb or no lintian (scripts/test installs them)")
  return()
endif()

file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD}/CPackConfig.cmake
                        -B ${OUT}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB deb ${OUT}/quadrix_*.deb)
if(NOT rc EQUAL 0 OR NOT deb)
  message(FATAL_ERROR "cpack failed: ${rc}\n${out}")
endif()

execute_process(COMMAND ${DPKG_DEB} -x ${deb} ${OUT}/root COMMAND_ERROR_IS_FATAL ANY)
set(expected
    usr/games/quadrix-sim usr/share/man/man6/quadrix.6.gz usr/share/man/man6/quadrix-sim.6.gz
    usr/share/doc/quadrix/copyright usr/share/doc/quadrix/changelog.gz
    usr/share/quadrix/images/Title.gif)
if(GAME)
  list(APPEND expected usr/games/quadrix)
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS ${OUT}/root/${file})
    message(FATAL_ERROR "not in the package: /${file}")
  endif()
endforeach()
# The game draws with the system's DejaVu files: the package needs them and ships none.
file(GLOB_RECURSE fonts ${OUT}/root/*.ttf)
execute_process(COMMAND ${DPKG_DEB} -f ${deb} Depends OUTPUT_VARIABLE depends
                COMMAND_ERROR_IS_FATAL ANY)
if(fonts OR NOT depends MATCHES "fonts-dejavu-core")
  message(FATAL_ERROR "fonts in the package (${fonts}) or no fonts-dejavu-core in: ${depends}")
endif()
if(EXISTS ${OUT}/root/usr/bin)
  message(FATAL_ERROR "the package has /usr/bin; its programs belong in /usr/games")
endif()

file(MAKE_DIRECTORY ${OUT}/home)
execute_process(COMMAND ${CMAKE_COMMAND} -E env HOME=${OUT}/home XDG_CONFIG_HOME= XDG_DATA_HOME=
                        ${OUT}/root/usr/games/quadrix-sim play --mode cmdFinal --screen 640x480
                        --passes 20
                WORKING_DIRECTORY ${OUT}/home RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out MATCHES "\"passes\"")
  message(FATAL_ERROR "the packaged quadrix-sim does not play: ${rc}\n${out}")
endif()

execute_process(COMMAND ${LINTIAN} --fail-on error,warning ${deb}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lintian: ${rc}\n${out}")
endif()
message(STATUS "${deb}: lint-clean at error and warning level\n${out}")
