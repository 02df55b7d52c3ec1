# Writes one help source as the compiled help file needs it. The sources are UTF-8, but the help
# viewer reads a page in the code page the page declares, and its table of contents and project
# texts in the code page of the help's language; so every file goes out in code page 1251 and a
# page's "charset=utf-8" becomes "charset=windows-1251". A character that code page 1251 lacks
# stops the build rather than turning into a question mark.
#   cmake -DSOURCE=page.htm -DTARGET=out/page.htm -DICONV=/usr/bin/iconv -P encode_page.cmake
file(READ "${SOURCE}" text)
string(REPLACE "charset=utf-8" "charset=windows-1251" text "${text}")
file(WRITE "${TARGET}.utf8" "${text}")
execute_process(
  COMMAND "${ICONV}" -f UTF-8 -t CP1251 -o "${TARGET}" "${TARGET}.utf8"
  RESULT_VARIABLE status
  ERROR_VARIABLE problem)
file(REMOVE "${TARGET}.utf8")
if(NOT status EQUAL 0)
  file(REMOVE "${TARGET}")
  message(FATAL_ERROR "${SOURCE}: cannot write it in code page 1251: ${problem}")
endif()
