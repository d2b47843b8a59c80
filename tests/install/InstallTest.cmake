# Installs the build into a scratch prefix and runs the installed quadrix-sim from there, where
# only share/quadrix can give it its images.
#   cmake -DBUILD=dir -DPREFIX=dir [-DGAME=ON] -P InstallTest.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(expected
    bin/quadrix-sim share/quadrix/images/Title.gif share/quadrix/images/Dollar.bmp
    share/quadrix/images/Icon.bmp share/quadrix/images/About.bmp
    share/applications/quadrix.desktop share/metainfo/io.github.quadrix.Quadrix.metainfo.xml
    share/man/man6/quadrix.6.gz share/man/man6/quadrix-sim.6.gz share/doc/quadrix/copyright
    share/doc/quadrix/changelog.gz)
if(GAME)
  list(APPEND expected bin/quadrix)
endif()
foreach(size 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/quadrix.png)
endforeach()
foreach(file IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# Run from elsewhere, with a home of its own: nothing of the build tree or the user's is used.
file(MAKE_DIRECTORY ${PREFIX}/home)
function(run expect_rc)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env HOME=${PREFIX}/home XDG_CONFIG_HOME=
                          ${PREFIX}/bin/quadrix-sim ${ARGN}
                  WORKING_DIRECTORY ${PREFIX}/home RESULT_VARIABLE rc OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT rc STREQUAL expect_rc)
    message(FATAL_ERROR "quadrix-sim ${ARGN}: exit ${rc}, not ${expect_rc}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

run(0 play --mode cmdFinal --screen 640x480 --passes 20)
if(NOT out MATCHES "\"passes\"")
  message(FATAL_ERROR "no game summary:\n${out}")
endif()
run(0 settings --mode cmdFinal --screen 640x480)
if(NOT out MATCHES "\"gScreenWidth\":640")
  message(FATAL_ERROR "no settings:\n${out}")
endif()

# Without share/quadrix the same program cannot start a game, and says where it looked.
file(RENAME ${PREFIX}/share/quadrix ${PREFIX}/share/quadrix-away)
run(1 play --mode cmdFinal --screen 640x480 --passes 20)
if(NOT err MATCHES "/bin/images/Dollar.bmp")
  message(FATAL_ERROR "unexpected message: ${err}")
endif()
message(STATUS "installed into ${PREFIX}: runs from there")
