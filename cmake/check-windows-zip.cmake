# Unpacks the Windows zip into a fresh directory and runs its launcher under wine without
# QRXROOT, QLANG or HOME: the plot must become a symbol with the bundled installation, and the
# saved message must come from its catalogue modules. Run as
#   cmake -DZIP=<zip> -DWINE=<wine> -DWORK=<directory> -P check-windows-zip.cmake
cmake_minimum_required(VERSION 3.20)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIP} WORKING_DIRECTORY ${WORK}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot unpack ${ZIP}")
endif()
get_filename_component(name ${ZIP} NAME_WE)
string(REGEX REPLACE "\\.zip$" "" name "${name}")
file(GLOB top LIST_DIRECTORIES true ${WORK}/*)
list(LENGTH top count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "the zip must hold one directory, not: ${top}")
endif()
set(unpacked ${top})

foreach(file bin/trazon.exe trazon.cmd README.md share/qrxroot/info/landata.rsc
             share/qrxroot/info/lanenv.rsc share/qrxroot/mess/edif2qrx/eng/error.dll
             share/qrxroot/mess/edif2qrx/eng/guide.dll)
  if(NOT EXISTS ${unpacked}/${file})
    message(FATAL_ERROR "the zip lacks ${file}")
  endif()
endforeach()
file(GLOB_RECURSE texts ${unpacked}/*.msg)
if(texts)
  message(FATAL_ERROR "the zip holds catalogue text files: ${texts}")
endif()

file(WRITE ${unpacked}/plot.hgl "IN;SP1;PU0,0;PD400,0;")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=QRXROOT --unset=QLANG --unset=HOME --unset=DISPLAY
          ${WINE} cmd /c trazon.cmd -o out.smb plot.hgl
  WORKING_DIRECTORY ${unpacked} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 0 OR NOT EXISTS ${unpacked}/out.smb)
  message(FATAL_ERROR "trazon.cmd gave exit code ${code} and no out.smb:\n${out}\n${err}")
endif()
message(STATUS "the zip's launcher converted a plot with the bundled installation")
