# The package as a designer installs it: scripts/package packs this build's architecture twice
# (the two zips must be the same bytes), the zip is unpacked into a folder whose path holds blanks
# and Cyrillic letters, and the stand-in host and the PDM caller, which come from the build, load
# the library from there. Both roads must give what they give with the library of the build folder.
#   SOURCE     the project's root; BUILD this build's folder; ARCH win64 or win32
#   HOST, CALLER  zentar-host.exe and veldor-host.exe; EMULATOR runs them
#   LIBRARY    the build's zuro.dll, and LIBRARY_FILES the files shipped beside it
#   WORK       a folder made afresh for the run
cmake_policy(VERSION 3.20)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

foreach(run 1 2)
  execute_process(COMMAND ${SOURCE}/scripts/package --arch ${ARCH} --no-build --build-dir ${BUILD}
                          --out ${WORK}/dist${run}
                  RESULT_VARIABLE status OUTPUT_VARIABLE zip ERROR_VARIABLE errors
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "scripts/package ended with ${status}:\n${errors}")
  endif()
  file(SHA256 ${zip} digest${run})
endforeach()
if(NOT digest1 STREQUAL digest2)
  message(FATAL_ERROR "two runs of scripts/package gave different bytes")
endif()
file(STRINGS ${SOURCE}/CMakeLists.txt project REGEX "^project\\(zuro VERSION")
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" version "${project}")
get_filename_component(zip_name ${zip} NAME)
if(NOT zip_name STREQUAL "zuro-${version}-${ARCH}.zip")
  message(FATAL_ERROR "the package is named ${zip_name}")
endif()

# Unpacked where a designer might keep it.
set(installed "${WORK}/Программы САПР/zURO ${version}")
file(MAKE_DIRECTORY ${installed})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip} WORKING_DIRECTORY ${installed}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the package does not unpack")
endif()
set(folder "${installed}/zuro")

# One folder, the library, its help, the guide, the library files a designer uses, the samples;
# nothing of the build: no stand-ins, tests, import libraries or pattern documents.
file(GLOB_RECURSE held RELATIVE ${installed} ${installed}/*)
list(SORT held)
file(GLOB samples RELATIVE ${SOURCE} ${SOURCE}/samples/board*)
execute_process(COMMAND git -C ${SOURCE} ls-files samples OUTPUT_VARIABLE tracked)
string(REGEX MATCHALL "samples/board[^\n]*" tracked "${tracked}")
set(expected)
foreach(name zuro.dll zuro.chm УСТАНОВКА.txt Attributes.txt bom.cfg bom1.cfg bom3.cfg bom4.cfg
             bom.ini bom_veldor.ini eri.cfg se.cfg)
  list(APPEND expected zuro/${name})
endforeach()
foreach(sample IN LISTS tracked)
  list(APPEND expected zuro/${sample})
endforeach()
list(SORT expected)
if(NOT held STREQUAL expected)
  message(FATAL_ERROR "the package holds\n${held}\ninstead of\n${expected}")
endif()
# The guide is for Windows' Notepad: code page 1251 (Cyrillic letters as single bytes 0xC0-0xFF)
# and CR LF line ends only; no UTF-8 letters (two of them begin 0xD0 0x90-0xBF 0xD0 or 0xD1).
file(READ "${folder}/УСТАНОВКА.txt" guide HEX)
string(REGEX MATCHALL "[0-9a-f][0-9a-f]" bytes "${guide}")
string(REPLACE "0d;0a" "" bare ";${bytes};")
if(NOT bytes MATCHES "(^|;)[c-f][0-9a-f](;|$)" OR bare MATCHES ";0[ad];"
   OR bytes MATCHES "(^|;)d0;[9b][0-9a-f];d[01];")
  message(FATAL_ERROR "УСТАНОВКА.txt is not code page 1251 text with CR LF line ends")
endif()

# The two roads, once with the installed library and once with the build's, each with copies of
# the sample of its own (the PDM road writes its object list beside the report).
file(MAKE_DIRECTORY ${WORK}/built)
file(COPY ${LIBRARY} ${LIBRARY_FILES} DESTINATION ${WORK}/built)
foreach(from installed built)
  if(from STREQUAL installed)
    set(dll "${folder}/zuro.dll")
  else()
    set(dll "${WORK}/built/zuro.dll")
  endif()
  set(reports "${WORK}/reports from ${from}")
  file(COPY ${SOURCE}/samples/board.bom DESTINATION ${reports})
  execute_process(COMMAND ${EMULATOR} ${HOST} --library ${dll} --command 1 --graphic
                          --answer-file ${reports}/board.bom --create 32778
                          --document-out ${reports}/list.json
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 150)
  if(NOT status EQUAL 0 OR NOT EXISTS ${reports}/list.json)
    message(FATAL_ERROR "zentar-host.exe with the ${from} library ended with ${status}:\n"
                        "${output}\n${errors}")
  endif()
  file(READ ${reports}/list.json document_${from})
  execute_process(COMMAND ${EMULATOR} ${CALLER} ${reports}/board.bom --create --library ${dll}
                  RESULT_VARIABLE status OUTPUT_VARIABLE objects_${from} ERROR_VARIABLE errors
                  TIMEOUT 150)
  if(NOT status EQUAL 0 OR NOT objects_${from} MATCHES "#")
    message(FATAL_ERROR "veldor-host.exe with the ${from} library ended with ${status}:\n"
                        "${objects_${from}}\n${errors}")
  endif()
endforeach()
string(JSON objects LENGTH "${document_installed}" objects)
if(objects LESS 10 OR NOT document_installed STREQUAL document_built)
  message(FATAL_ERROR "the list of elements differs from the build's:\n${document_installed}\n"
                      "the build's:\n${document_built}")
endif()
if(NOT objects_installed STREQUAL objects_built)
  message(FATAL_ERROR "the PDM's objects differ from the build's:\n${objects_installed}\n"
                      "the build's:\n${objects_built}")
endif()
