# Runs veldor-host.exe under Wine on the PDM's road and checks what it did:
#   ARGUMENTS  its options; @WORK@ stands for WORK, a folder made afresh for the run that holds
#              bad.bom, a file that is no report, copies of the samples, and lst-files/, a folder
#              whose name holds "lst", with copies of board.lst and board.bom
#   LIBRARY    zuro.dll, and LIBRARY_FILES the files shipped beside it: copied into WORK/library,
#              the library folder of this run alone (its res.txt and bom.db meet no other run's),
#              and loaded from there (--library). An object list of an earlier run lies there
#              before the run.
#   STATUS     the exit status it must end with
#   EXPECTED   a file of objects that its standard output must equal after the two type names
#              (those of the shipped bom_veldor.ini); OUTPUT a regular expression it must match
#              instead
#   COMPLAINT  regular expressions its standard error must match, one a list item
#   FOLDER     a folder below WORK whose files, after the run, must be those it held before and
#              NEW_FILES; files there that were there before must be unchanged
#   ABSENT     paths below WORK that must not exist after the run
#   LIBRARY_FOLDER  the library folder's name below WORK instead of "library"
#   SAMPLE_FOLDER   a folder below WORK to hold further copies of board.lst and board.bom
#   Lists come with "@@" between their items.
cmake_policy(VERSION 3.20)
foreach(list COMPLAINT NEW_FILES ABSENT)
  string(REPLACE "@@" ";" ${list} "${${list}}")
endforeach()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/lst-files)
file(WRITE ${WORK}/bad.bom "Перечень элементов\r\nR1 Резистор\r\n")
set(samples ${CMAKE_CURRENT_LIST_DIR}/../../samples)
file(GLOB sample_files ${samples}/board*)
file(COPY ${sample_files} DESTINATION ${WORK})
file(COPY ${samples}/board.lst ${samples}/board.bom DESTINATION ${WORK}/lst-files)
if(DEFINED SAMPLE_FOLDER)
  file(COPY ${samples}/board.lst ${samples}/board.bom DESTINATION ${WORK}/${SAMPLE_FOLDER})
endif()
if(NOT DEFINED LIBRARY_FOLDER)
  set(LIBRARY_FOLDER library)
endif()
file(COPY ${LIBRARY} ${LIBRARY_FILES} DESTINATION ${WORK}/${LIBRARY_FOLDER})
file(WRITE ${WORK}/${LIBRARY_FOLDER}/res.txt "stale#A=1;\r\n")
get_filename_component(library_name ${LIBRARY} NAME)

if(NOT DEFINED FOLDER)
  set(FOLDER .)
endif()
file(GLOB before RELATIVE ${WORK}/${FOLDER} LIST_DIRECTORIES false ${WORK}/${FOLDER}/*)
foreach(file IN LISTS before)
  file(SHA256 ${WORK}/${FOLDER}/${file} before_${file})
endforeach()

string(REPLACE "@WORK@" "${WORK}" args "${ARGUMENTS}")
list(APPEND args --library ${WORK}/${LIBRARY_FOLDER}/${library_name})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${args}
                OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 150)
string(REPLACE "\r" "" output "${output}")
string(REPLACE "\r" "" errors "${errors}")
set(ran "veldor-host.exe ${args}\nended with ${status}\nstandard output:\n${output}\n"
        "standard error:\n${errors}")
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "expected exit status ${STATUS}; ${ran}")
endif()
if(DEFINED EXPECTED)
  file(READ ${EXPECTED} expected)
  string(PREPEND expected "TYPE1=Электрорадиоизделие\nTYPE2=Сборочная единица\n")
  if(NOT output STREQUAL expected)
    message(FATAL_ERROR "standard output differs from ${EXPECTED}; ${ran}")
  endif()
endif()
if(DEFINED OUTPUT AND NOT output MATCHES "${OUTPUT}")
  message(FATAL_ERROR "standard output does not match \"${OUTPUT}\"; ${ran}")
endif()
foreach(pattern IN LISTS COMPLAINT)
  if(NOT errors MATCHES "${pattern}")
    message(FATAL_ERROR "standard error does not match \"${pattern}\"; ${ran}")
  endif()
endforeach()

file(GLOB after RELATIVE ${WORK}/${FOLDER} LIST_DIRECTORIES false ${WORK}/${FOLDER}/*)
set(expected_files ${before} ${NEW_FILES})
list(REMOVE_DUPLICATES expected_files)
list(SORT expected_files)
list(SORT after)
if(NOT after STREQUAL expected_files)
  message(FATAL_ERROR "${FOLDER} holds ${after}; expected ${expected_files}; ${ran}")
endif()
foreach(file IN LISTS before)
  file(SHA256 ${WORK}/${FOLDER}/${file} now)
  if(NOT now STREQUAL before_${file})
    message(FATAL_ERROR "${FOLDER}/${file} was changed; ${ran}")
  endif()
endforeach()
foreach(path IN LISTS ABSENT)
  if(EXISTS ${WORK}/${path})
    message(FATAL_ERROR "${path} is there after the run; ${ran}")
  endif()
endforeach()
