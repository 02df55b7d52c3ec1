# Runs zentar-host.exe under Wine and compares its output with the expected call log:
# the first two lines must name the library, the rest must equal EXPECTED line for line.
set(args ${ARGUMENTS})
include(${CMAKE_CURRENT_LIST_DIR}/run_under_wine.cmake)
zuro_run_under_wine(120 ${PROGRAM} ${args})
set(output "${run_output}")
if(NOT run_status EQUAL 0)
  message(FATAL_ERROR "zentar-host.exe ended with ${run_status}:\n${output}\n${run_errors}")
endif()
# The program's own complaints are shown as they were before the run was captured.
if(NOT run_errors STREQUAL "")
  message("${run_errors}")
endif()
string(REPLACE "\r" "" output "${output}")
file(READ ${EXPECTED} expected)
set(header "LIBRARYNAME=Конвертер текстовых КД zURO-ЗЕНТАР\nLIBRARYID=1001\n")
if(NOT output STREQUAL "${header}${expected}")
  message(FATAL_ERROR "unexpected output:\n${output}\nexpected:\n${header}${expected}")
endif()
