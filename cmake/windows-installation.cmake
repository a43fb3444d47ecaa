# The bundled installation as the Windows programs read it, made in the build tree at
# ${TRAZON_WINDOWS_ROOT} (target trazon_windows_root): the settings and fonts of share/qrxroot
# copied as they are, and every message catalogue text file (mess/<list>/<language>/error.msg,
# guide.msg) turned into the string-resource module beside it (error.dll, guide.dll). The text
# files themselves are not copied: on Windows the modules are the catalogues.
set(TRAZON_WINDOWS_ROOT ${PROJECT_BINARY_DIR}/qrxroot)

find_program(TRAZON_WINDRES NAMES ${TRAZON_MINGW_PREFIX}-windres windres REQUIRED)

# Resource scripts are read in the code page of the catalogue's language, and LoadStringA hands
# the texts back in the system's code page: the two agree on a system of that language.
function(trazon_catalogue_codepage language out)
  if(language STREQUAL "jpn")
    set(${out} 932 PARENT_SCOPE)
  elseif(language STREQUAL "kor")
    set(${out} 949 PARENT_SCOPE)
  elseif(language STREQUAL "chn")
    set(${out} 936 PARENT_SCOPE)
  else()
    set(${out} 1252 PARENT_SCOPE)
  endif()
endfunction()

# Builds the module dll from the catalogue text file `source`, whose texts are in the code page
# of `language` (a language directory name), and appends the module's path to the list named by
# `outputs`.
function(trazon_catalogue_module source dll language outputs)
  file(RELATIVE_PATH relative ${PROJECT_BINARY_DIR} ${dll})
  string(MAKE_C_IDENTIFIER ${relative} stem)
  set(work ${PROJECT_BINARY_DIR}/catalogues)
  set(script ${work}/${stem}.rc)
  set(object ${work}/${stem}.res.o)
  get_filename_component(directory ${dll} DIRECTORY)
  trazon_catalogue_codepage(${language} codepage)
  add_custom_command(
    OUTPUT ${script}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${source} -DOUTPUT=${script}
            -P ${PROJECT_SOURCE_DIR}/cmake/catalogue-rc.cmake
    DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/catalogue-rc.cmake
    COMMENT "Catalogue ${relative}: resource script")
  add_custom_command(
    OUTPUT ${object}
    COMMAND ${TRAZON_WINDRES} --codepage=${codepage} -O coff ${script} ${object}
    DEPENDS ${script})
  # A resource-only module: no runtime, no entry point, no time stamp (the same catalogue
  # always gives the same bytes).
  add_custom_command(
    OUTPUT ${dll}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
    COMMAND ${CMAKE_CXX_COMPILER} -shared -nostdlib -s -Wl,-e,0 -Wl,--no-insert-timestamp
            -o ${dll} ${object}
    DEPENDS ${object}
    COMMENT "Catalogue ${relative}")
  set(list ${${outputs}})
  list(APPEND list ${dll})
  set(${outputs} ${list} PARENT_SCOPE)
endfunction()

set(_share ${PROJECT_SOURCE_DIR}/share/qrxroot)
file(GLOB_RECURSE _installation_files RELATIVE ${_share} CONFIGURE_DEPENDS ${_share}/*)
set(_installation_outputs "")
foreach(relative IN LISTS _installation_files)
  if(relative MATCHES "^mess/.*/(error|guide)\\.msg$")
    string(REGEX REPLACE "\\.msg$" ".dll" module ${relative})
    get_filename_component(language ${relative} DIRECTORY)
    get_filename_component(language ${language} NAME)
    trazon_catalogue_module(${_share}/${relative} ${TRAZON_WINDOWS_ROOT}/${module} ${language}
                            _installation_outputs)
  else()
    add_custom_command(
      OUTPUT ${TRAZON_WINDOWS_ROOT}/${relative}
      COMMAND ${CMAKE_COMMAND} -E copy ${_share}/${relative} ${TRAZON_WINDOWS_ROOT}/${relative}
      DEPENDS ${_share}/${relative})
    list(APPEND _installation_outputs ${TRAZON_WINDOWS_ROOT}/${relative})
  endif()
endforeach()
add_custom_target(trazon_windows_root ALL DEPENDS ${_installation_outputs})

# The zip of the Windows build (target windows_zip, also `make windows-zip`): every program
# built below src/, the installation above, the launcher trazon.cmd and the README.
function(trazon_collect_programs directory out)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  set(programs "")
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      list(APPEND programs ${target})
    endif()
  endforeach()
  foreach(subdirectory IN LISTS subdirectories)
    trazon_collect_programs(${subdirectory} more)
    list(APPEND programs ${more})
  endforeach()
  set(${out} ${programs} PARENT_SCOPE)
endfunction()

trazon_collect_programs(${PROJECT_SOURCE_DIR}/src _programs)
set(_program_files "")
foreach(program IN LISTS _programs)
  list(APPEND _program_files $<TARGET_FILE:${program}>)
endforeach()
find_program(TRAZON_STRIP NAMES ${TRAZON_MINGW_PREFIX}-strip strip REQUIRED)
set(TRAZON_WINDOWS_ZIP_NAME trazon-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR})
set(TRAZON_WINDOWS_ZIP ${PROJECT_BINARY_DIR}/${TRAZON_WINDOWS_ZIP_NAME}.zip)
add_custom_command(
  OUTPUT ${TRAZON_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -DSTRIP=${TRAZON_STRIP} "-DPROGRAMS=${_program_files}"
          -DROOT=${TRAZON_WINDOWS_ROOT} -DSOURCE=${PROJECT_SOURCE_DIR} -DWORK=${PROJECT_BINARY_DIR}
          -DNAME=${TRAZON_WINDOWS_ZIP_NAME} -P ${PROJECT_SOURCE_DIR}/cmake/windows-zip.cmake
  DEPENDS ${_programs} ${_installation_outputs} ${PROJECT_SOURCE_DIR}/trazon.cmd
          ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/windows-zip.cmake
  COMMENT "Windows zip ${TRAZON_WINDOWS_ZIP_NAME}.zip"
  VERBATIM)
add_custom_target(windows_zip DEPENDS ${TRAZON_WINDOWS_ZIP})
