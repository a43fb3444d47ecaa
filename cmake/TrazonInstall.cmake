# What `cmake --install` and the Debian package put where, below the prefix:
#   bin/trazon                  a small shell front (packaging/trazon.in) that supplies QRXROOT,
#                               QLANG and the log directory, then runs the converter
#   libexec/trazon/trazon       the converter itself, unchanged
#   bin/<program>               the other programs: fronted ones like trazon, the rest directly
#   share/trazon/               the bundled installation (settings, catalogues, fonts): the
#                               fronts' default QRXROOT
#   share/man/man1/             the manual pages
#   share/doc/trazon/           the README, the copyright notice and the example plots
include(GNUInstallDirs)

set(TRAZON_ROOT_DIR ${CMAKE_INSTALL_DATADIR}/trazon)
set(TRAZON_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/trazon)

# A front finds its program and the bundled installation relative to its own real place, so
# the installed tree may be moved or unpacked below any prefix.
function(trazon_relative_to_bin out dir)
  set(base ${CMAKE_INSTALL_BINDIR})
  if(NOT IS_ABSOLUTE "${base}")
    set(base "/prefix/${base}")
  endif()
  if(NOT IS_ABSOLUTE "${dir}")
    set(dir "/prefix/${dir}")
  endif()
  file(RELATIVE_PATH relative "${base}" "${dir}")
  set(${out} "${relative}" PARENT_SCOPE)
endfunction()
trazon_relative_to_bin(TRAZON_ROOT_REL ${TRAZON_ROOT_DIR})
trazon_relative_to_bin(TRAZON_PROGRAM_DIR_REL ${TRAZON_PROGRAM_DIR})

# A program that needs QRXROOT goes to libexec/trazon/ and is reached through a front of the
# same name in bin/. makes_logs: the front also makes the converter's log directory. A program
# that a build leaves out is passed over.
function(trazon_install_fronted program makes_logs)
  if(NOT TARGET ${program})
    return()
  endif()
  if(WIN32)
    # No POSIX shell for the front: the program goes to bin/ as it is.
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    return()
  endif()
  set(TRAZON_FRONT_NAME ${program})
  set(TRAZON_PROGRAM_REL ${TRAZON_PROGRAM_DIR_REL}/${program})
  set(TRAZON_FRONT_MAKES_LOGS ${makes_logs})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/trazon.in
                 ${PROJECT_BINARY_DIR}/packaging/${program} @ONLY)
  install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/${program}
          DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(TARGETS ${program} RUNTIME DESTINATION ${TRAZON_PROGRAM_DIR})
endfunction()
trazon_install_fronted(trazon yes)
trazon_install_fronted(trazon-view no)

# Programs installed in bin/ as they are (the batch program runs the trazon front beside it).
set(TRAZON_PROGRAMS trazon-batch)
foreach(program IN LISTS TRAZON_PROGRAMS)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/share/qrxroot/ DESTINATION ${TRAZON_ROOT_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/man/trazon.1 ${PROJECT_SOURCE_DIR}/man/trazon-batch.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/share/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# The Debian package (`cpack -G DEB` in the build directory, or `make deb`). Its dependencies
# are computed from the programs' shared libraries when dpkg-shlibdeps (dpkg-dev) is there, and
# stated otherwise.
set(CPACK_PACKAGE_NAME trazon)
set(CPACK_PACKAGE_VENDOR "the trazon developers")
set(TRAZON_PACKAGE_MAINTAINER "trazon developers <trazon@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${TRAZON_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converter of HP-GL plots into schematic symbols and sheets")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "trazon reads a plot file written in HP-GL or HP-GL/2 and stores the drawing as a
symbol (.smb) or as a sheet (.sht) of a circuit of a schematic-design database.
trazon-batch converts many plots at once and reports on each in a CSV file.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "parallel")
find_program(TRAZON_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TRAZON_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 12)")
endif()
find_program(TRAZON_DPKG_DEB dpkg-deb)
if(TRAZON_DPKG_DEB)
  set(CPACK_GENERATOR DEB)
else()
  set(CPACK_GENERATOR TGZ)
endif()
include(CPack)
