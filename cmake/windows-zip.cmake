# Packs the Windows build into a zip: the programs (without debugging information), the bundled
# installation with its catalogue modules, the launcher trazon.cmd and the README. Run as
#   cmake -DSTRIP=<strip> -DPROGRAMS=<a.exe;b.exe> -DROOT=<installation> -DSOURCE=<repository>
#         -DWORK=<directory> -DNAME=<zip name without .zip> -P windows-zip.cmake
cmake_minimum_required(VERSION 3.20)

set(stage ${WORK}/${NAME})
file(REMOVE_RECURSE ${stage} ${WORK}/${NAME}.zip)
file(MAKE_DIRECTORY ${stage}/bin ${stage}/share)

foreach(program IN LISTS PROGRAMS)
  get_filename_component(name ${program} NAME)
  execute_process(COMMAND ${STRIP} --strip-debug -o ${stage}/bin/${name} ${program}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot strip ${program}")
  endif()
endforeach()
file(COPY ${ROOT} DESTINATION ${stage}/share)

# Text files for Windows readers: CR LF line ends (cmd.exe needs them in batch files).
foreach(text trazon.cmd README.md)
  file(READ ${SOURCE}/${text} content)
  string(REPLACE "\r\n" "\n" content "${content}")
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE ${stage}/${text} "${content}")
endforeach()

# Entries in a fixed order with a fixed time, so that the same build gives the same zip.
file(GLOB_RECURSE entries RELATIVE ${WORK} ${stage}/*)
list(SORT entries)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${NAME}.zip --format=zip
                        "--mtime=2000-01-01 00:00:00 UTC" ${entries}
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot write ${WORK}/${NAME}.zip")
endif()
