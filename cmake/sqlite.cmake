# SQLite for the work database: the official amalgamation (sqlite3.c, sqlite3.h) as the npm
# package better-sqlite3 ships it in package/deps/sqlite3/. It is fetched at configure time, once
# for the three builds, into build/sqlite-<version>/ beside the build folders, and its checksums
# are checked every time; it is never kept in the repository.
set(ZURO_SQLITE_VERSION 3.49.2)
set(ZURO_SQLITE_PACKAGE better-sqlite3@11.10.0)
set(ZURO_SQLITE_SHA256_sqlite3.c e80215754ac6cfaefe272342efd581b6dbefdbdc21f96bd83fcb698bee9d36a5)
set(ZURO_SQLITE_SHA256_sqlite3.h 2198c66d4c59ae86421590c27fd53309ec14a595ae31c0c7143247444018a0bd)

get_filename_component(ZURO_SQLITE_DIR ${CMAKE_BINARY_DIR}/../sqlite-${ZURO_SQLITE_VERSION} ABSOLUTE)

# True in `result` when both files are in `folder` with the recorded checksums; `wrong` names a
# file whose checksum differs.
function(zuro_sqlite_check folder result wrong)
  set(${result} TRUE PARENT_SCOPE)
  set(${wrong} "" PARENT_SCOPE)
  foreach(name sqlite3.c sqlite3.h)
    if(NOT EXISTS ${folder}/${name})
      set(${result} FALSE PARENT_SCOPE)
      return()
    endif()
    file(SHA256 ${folder}/${name} sum)
    if(NOT "${sum}" STREQUAL "${ZURO_SQLITE_SHA256_${name}}")
      set(${result} FALSE PARENT_SCOPE)
      set(${wrong} "${folder}/${name} (SHA-256 ${sum}, expected ${ZURO_SQLITE_SHA256_${name}})"
          PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

function(zuro_sqlite_fetch)
  find_program(ZURO_NPM npm)
  if(NOT ZURO_NPM)
    message(FATAL_ERROR "SQLite ${ZURO_SQLITE_VERSION} is fetched with npm (${ZURO_SQLITE_PACKAGE}),"
                        " and npm was not found: run scripts/install-deps")
  endif()
  string(RANDOM LENGTH 8 tag)
  set(work ${ZURO_SQLITE_DIR}.download-${tag})
  file(REMOVE_RECURSE ${work})
  file(MAKE_DIRECTORY ${work})
  message(STATUS "Fetching SQLite ${ZURO_SQLITE_VERSION}: npm pack ${ZURO_SQLITE_PACKAGE}")
  execute_process(COMMAND ${ZURO_NPM} pack ${ZURO_SQLITE_PACKAGE} --loglevel=error
                  WORKING_DIRECTORY ${work} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  file(GLOB tarball ${work}/*.tgz)
  if(NOT status EQUAL 0 OR NOT tarball)
    file(REMOVE_RECURSE ${work})
    message(FATAL_ERROR "Could not fetch SQLite ${ZURO_SQLITE_VERSION}: npm pack "
                        "${ZURO_SQLITE_PACKAGE} failed (status ${status}):\n${out}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar xzf ${tarball}
                          package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
                  WORKING_DIRECTORY ${work} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  set(unpacked ${work}/package/deps/sqlite3)
  zuro_sqlite_check(${unpacked} ok wrong)
  if(NOT ok)
    file(REMOVE_RECURSE ${work})
    if(wrong)
      message(FATAL_ERROR "SQLite from ${ZURO_SQLITE_PACKAGE} is not the one expected: ${wrong}")
    endif()
    message(FATAL_ERROR "The package ${ZURO_SQLITE_PACKAGE} holds no package/deps/sqlite3/"
                        "sqlite3.c and sqlite3.h (tar status ${status}):\n${out}")
  endif()
  # The checked files take their place in one move, so that no build ever sees half of them.
  file(REMOVE_RECURSE ${ZURO_SQLITE_DIR})
  file(RENAME ${unpacked} ${ZURO_SQLITE_DIR})
  file(REMOVE_RECURSE ${work})
endfunction()

# Builds configured at the same time fetch one after another; the later ones find the files.
file(LOCK ${ZURO_SQLITE_DIR}.lock GUARD FILE)
zuro_sqlite_check(${ZURO_SQLITE_DIR} ZURO_SQLITE_OK ZURO_SQLITE_WRONG)
if(NOT ZURO_SQLITE_OK)
  if(ZURO_SQLITE_WRONG)
    message(STATUS "SQLite copy differs, fetching it again: ${ZURO_SQLITE_WRONG}")
  endif()
  zuro_sqlite_fetch()
endif()
file(LOCK ${ZURO_SQLITE_DIR}.lock RELEASE)

# One translation unit, built as C without our warnings: it is SQLite's code, not ours. Threads
# are never shared with the database, extensions are never loaded, and double-quoted names must
# name columns (never fall back to being strings).
add_library(zuro_sqlite STATIC ${ZURO_SQLITE_DIR}/sqlite3.c)
target_include_directories(zuro_sqlite SYSTEM PUBLIC ${ZURO_SQLITE_DIR})
target_compile_definitions(zuro_sqlite PRIVATE SQLITE_THREADSAFE=0 SQLITE_OMIT_LOAD_EXTENSION
                           SQLITE_DEFAULT_MEMSTATUS=0 SQLITE_DQS=0)
target_compile_options(zuro_sqlite PRIVATE -w)
# GCC's object-size check misreads the b-tree balance's page chosen from one of two arrays of
# different lengths ((nNew > nOld ? apNew : apOld)[nOld - 1]) and reports a large board's database
# as a fault; the address sanitizer still watches every byte SQLite touches.
if(ZURO_SANITIZE AND NOT WIN32)
  target_compile_options(zuro_sqlite PRIVATE -fno-sanitize=object-size)
endif()
if(NOT WIN32)
  target_link_libraries(zuro_sqlite PUBLIC m)
endif()
