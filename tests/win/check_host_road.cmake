# Runs zentar-host.exe under Wine on a document road (or a run that must be refused) and checks
# what it did:
#   ARGUMENTS  its options; @WORK@ stands for WORK, a folder made afresh for the run that holds
#              bad.bom, a file that is no report, and copies of the samples
#   LIBRARY    zuro.dll, and LIBRARY_FILES the files shipped beside it: copied into WORK/library,
#              the library folder of this run alone, and loaded from there (--library), so that
#              the working copies of patterns and the work database of one run never meet
#              another's
#   STATUS     the exit status it must end with
#   OUTPUT     regular expressions its standard output must match, one a list item
#   COMPLAINT  a regular expression its standard error must match
#   DOCUMENT   a file (below WORK) that must then hold a zentar-sim/1 document
#   EXPECTED   a file that DOCUMENT must equal byte for byte
cmake_policy(VERSION 3.20)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/bad.bom "Перечень элементов\r\nR1 Резистор\r\n")
# The samples are copied, as some converters write beside their report.
file(GLOB samples ${CMAKE_CURRENT_LIST_DIR}/../../samples/board*)
file(COPY ${samples} DESTINATION ${WORK})
file(COPY ${LIBRARY} ${LIBRARY_FILES} DESTINATION ${WORK}/library)
get_filename_component(library_name ${LIBRARY} NAME)
string(REPLACE "@WORK@" "${WORK}" args "${ARGUMENTS}")
list(PREPEND args --library ${WORK}/library/${library_name})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${args}
                OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 150)
string(REPLACE "\r" "" output "${output}")
set(ran "zentar-host.exe ${args}\nended with ${status}\nstandard output:\n${output}\n"
        "standard error:\n${errors}")
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "expected exit status ${STATUS}; ${ran}")
endif()
foreach(pattern IN LISTS OUTPUT)
  if(NOT output MATCHES "${pattern}")
    message(FATAL_ERROR "standard output does not match \"${pattern}\"; ${ran}")
  endif()
endforeach()
if(DEFINED COMPLAINT AND NOT errors MATCHES "${COMPLAINT}")
  message(FATAL_ERROR "standard error does not match \"${COMPLAINT}\"; ${ran}")
endif()
if(DEFINED DOCUMENT)
  if(NOT EXISTS ${WORK}/${DOCUMENT})
    message(FATAL_ERROR "no document was written to ${DOCUMENT}; ${ran}")
  endif()
  file(READ ${WORK}/${DOCUMENT} document)
  string(JSON format ERROR_VARIABLE json_error GET "${document}" format)
  string(JSON objects ERROR_VARIABLE json_error TYPE "${document}" objects)
  if(NOT format STREQUAL "zentar-sim/1" OR NOT objects STREQUAL "ARRAY")
    message(FATAL_ERROR "${DOCUMENT} is no zentar-sim/1 document:\n${document}\n${ran}")
  endif()
endif()
if(DEFINED EXPECTED)
  file(READ ${EXPECTED} expected)
  if(NOT document STREQUAL expected)
    message(FATAL_ERROR "${DOCUMENT} differs from ${EXPECTED}:\n${document}\n${ran}")
  endif()
endif()
