# Runs zentar-host.exe under Wine and compares its output with the expected call log:
# the first two lines must name the library, the rest must equal EXPECTED line for line.
set(args ${ARGUMENTS})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${args}
                OUTPUT_VARIABLE output RESULT_VARIABLE status TIMEOUT 120)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zentar-host.exe ended with ${status}:\n${output}")
endif()
string(REPLACE "\r" "" output "${output}")
file(READ ${EXPECTED} expected)
set(header "LIBRARYNAME=Конвертер текстовых КД zURO-ЗЕНТАР\nLIBRARYID=1001\n")
if(NOT output STREQUAL "${header}${expected}")
  message(FATAL_ERROR "unexpected output:\n${output}\nexpected:\n${header}${expected}")
endif()
