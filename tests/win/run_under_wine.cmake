# zuro_run_under_wine(TIMEOUT PROGRAM ARGUMENT...) runs a Windows program under Wine (EMULATOR)
# and sets run_output, run_errors and run_status in the caller's scope.
#
# Now and then Wine fails to start a program at all: its loader cannot map the executable, hands
# it to start.exe, which prints "ShellExecuteEx failed" and ends with 1 before a line of the
# program has run (seen once in a CI run of 86 programs). Such a run says nothing of the program,
# so it is tried again, up to three times in all; a program that ran is never run again.
function(zuro_run_under_wine timeout)
  foreach(attempt RANGE 1 3)
    execute_process(COMMAND ${EMULATOR} ${ARGN}
                    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status
                    TIMEOUT ${timeout})
    if(status EQUAL 0 OR NOT "${output}${errors}" MATCHES "ShellExecuteEx failed")
      break()
    endif()
    message(STATUS "Wine could not start the program (attempt ${attempt}):\n${output}${errors}")
  endforeach()
  set(run_output "${output}" PARENT_SCOPE)
  set(run_errors "${errors}" PARENT_SCOPE)
  set(run_status "${status}" PARENT_SCOPE)
endfunction()
