# Writes the resource script of a message catalogue module: a STRINGTABLE with one string per
# message of a catalogue text file, for windres. Run as
#   cmake -DINPUT=error.msg -DOUTPUT=error.rc -P catalogue-rc.cmake
#
# The text file is read by the rules the POSIX build reads it with: one message a line, the
# number (decimal digits), one tab, the text; empty lines, lines starting with "#" and lines of
# any other shape are skipped; a carriage return before the line feed is dropped; the first line
# of a number wins; a text is cut to 8192 bytes. A string resource is named by a 16-bit number,
# so a message number above 65535 cannot be stored: the script stops with an error naming it.
# An empty text is stored as an empty string, which the resource loader cannot tell from a
# missing one.
cmake_minimum_required(VERSION 3.20)

if(NOT DEFINED INPUT OR NOT DEFINED OUTPUT)
  message(FATAL_ERROR "catalogue-rc.cmake needs -DINPUT=<catalogue> and -DOUTPUT=<script>")
endif()

file(READ "${INPUT}" content)

# CMake lists split at ";" and keep "[...]" together: hide both, and the backslash, before the
# text becomes a list of lines.
string(ASCII 1 semicolon)
string(ASCII 2 open)
string(ASCII 3 close)
string(ASCII 4 backslash)
string(REPLACE "\\" "${backslash}" content "${content}")
string(REPLACE ";" "${semicolon}" content "${content}")
string(REPLACE "[" "${open}" content "${content}")
string(REPLACE "]" "${close}" content "${content}")
string(REPLACE "\n" ";" lines "${content}")

set(seen "")
set(body "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "\r$" "" line "${line}")
  if(NOT line MATCHES "^([0-9]+)\t(.*)$")
    continue()
  endif()
  set(digits "${CMAKE_MATCH_1}")
  set(text "${CMAKE_MATCH_2}")
  string(REGEX REPLACE "^0+([0-9])" "\\1" digits "${digits}")
  string(LENGTH "${digits}" width)
  if(width GREATER 10)
    continue()  # beyond the range of an int, as the text reader skips it
  endif()
  if(width EQUAL 10 AND digits STRGREATER "2147483647")
    continue()
  endif()
  if(width GREATER 5 OR digits GREATER 65535)
    message(FATAL_ERROR "${INPUT}: message ${digits} is above 65535 and cannot be a string resource")
  endif()
  if(" ${seen} " MATCHES " ${digits} ")
    continue()
  endif()
  string(APPEND seen " ${digits}")

  string(LENGTH "${text}" size)
  if(size GREATER 8192)
    string(SUBSTRING "${text}" 0 8192 text)
  endif()
  # Resource-script escapes: a quote is doubled, a backslash and a tab are escaped.
  string(REPLACE "\"" "\"\"" text "${text}")
  string(REPLACE "${backslash}" "\\\\" text "${text}")
  string(REPLACE "\t" "\\t" text "${text}")
  string(REPLACE "${semicolon}" ";" text "${text}")
  string(REPLACE "${open}" "[" text "${text}")
  string(REPLACE "${close}" "]" text "${text}")
  string(APPEND body "  ${digits}, \"${text}\"\n")
endforeach()

# A resource script must hold at least one resource: a catalogue without messages becomes a
# module with one data resource and no strings.
if(body STREQUAL "")
  file(WRITE "${OUTPUT}" "1 RCDATA { \"empty catalogue\" }\n")
else()
  file(WRITE "${OUTPUT}" "LANGUAGE 0, 0\nSTRINGTABLE\nBEGIN\n${body}END\n")
endif()
