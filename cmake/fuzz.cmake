# The fuzz build (ZURO_FUZZ, build/fuzz, made by scripts/fuzz): the portable core and the fuzz
# targets of tests/fuzz compiled by clang with libFuzzer and the address and undefined-behaviour
# sanitizers, nothing else of the tree.
#
# Every text in memory is code page 1251, and the other builds get their narrow literals in it
# from GCC's -fexec-charset=CP1251. Clang knows no execution character set but UTF-8; it does
# pass the bytes of a literal through unchanged when they are no UTF-8. So this build compiles
# copies of the sources converted to code page 1251 (by cmake/cp1251_copy.sh, one copy per source and header
# under <build>/cp1251/, made again when the source changes), whose literals then hold the same
# bytes as GCC makes of the originals. A character that code page 1251 lacks can stand only in a
# comment (GCC refuses it in a narrow literal), and is transliterated ("→" becomes "->").
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "ZURO_FUZZ needs clang (libFuzzer): configure with "
                      "-DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14")
endif()
find_program(ZURO_ICONV iconv REQUIRED)
find_program(ZURO_PERL perl REQUIRED)

set(ZURO_CP1251_DIR ${CMAKE_BINARY_DIR}/cp1251)
# Assertions stay on: the core's own checks take part in the search.
set(ZURO_FUZZ_COMPILE_OPTIONS -O2 -g -fno-omit-frame-pointer
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    $<$<COMPILE_LANGUAGE:CXX>:-Wno-invalid-source-encoding>)
set(ZURO_FUZZ_LINK_OPTIONS -fsanitize=address,undefined)

# Sets `out` to the code page 1251 copies of the given sources (absolute paths in the tree) and
# adds the commands that make them.
function(zuro_cp1251_copies out)
  set(copies)
  foreach(source IN LISTS ARGN)
    file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${source})
    set(copy ${ZURO_CP1251_DIR}/${relative})
    get_filename_component(folder ${copy} DIRECTORY)
    add_custom_command(OUTPUT ${copy}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/cp1251_copy.sh ${source} ${copy}
      DEPENDS ${source} ${CMAKE_SOURCE_DIR}/cmake/cp1251_copy.sh
      COMMENT "Converting ${relative} to code page 1251" VERBATIM)
    list(APPEND copies ${copy})
  endforeach()
  set(${out} ${copies} PARENT_SCOPE)
endfunction()

# The headers of the core and of the fuzz targets: the copies of the sources include the copies
# of the headers, found through <build>/cp1251 as the originals are through the tree's root.
file(GLOB_RECURSE ZURO_FUZZ_HEADERS CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/base/*.h ${CMAKE_SOURCE_DIR}/table/*.h ${CMAKE_SOURCE_DIR}/automation/*.h
     ${CMAKE_SOURCE_DIR}/host/*.h
     ${CMAKE_SOURCE_DIR}/converter/*.h ${CMAKE_SOURCE_DIR}/readers/*.h
     ${CMAKE_SOURCE_DIR}/templates/*.h ${CMAKE_SOURCE_DIR}/generation/*.h
     ${CMAKE_SOURCE_DIR}/pdm/*.h ${CMAKE_SOURCE_DIR}/tests/fuzz/*.h)
zuro_cp1251_copies(ZURO_FUZZ_HEADER_COPIES ${ZURO_FUZZ_HEADERS})
add_custom_target(zuro_cp1251_headers DEPENDS ${ZURO_FUZZ_HEADER_COPIES})

# Called once the folders have made their libraries (zuro_layer): each is built from the copies of
# its sources instead.
function(zuro_fuzz_core)
  get_property(layers GLOBAL PROPERTY ZURO_LAYERS)
  foreach(layer IN LISTS layers)
    get_target_property(sources ${layer} SOURCES)
    get_target_property(folder ${layer} SOURCE_DIR)
    list(TRANSFORM sources PREPEND ${folder}/ REGEX "^[^/]")
    zuro_cp1251_copies(copies ${sources})
    # The commands that make the copies belong to this folder: a target of its own runs them
    # before the library, which lies in the folder of its sources.
    add_custom_target(${layer}_cp1251 DEPENDS ${copies})
    add_dependencies(${layer} ${layer}_cp1251)
    set_property(TARGET ${layer} PROPERTY SOURCES ${copies})
    set_property(TARGET ${layer} PROPERTY INCLUDE_DIRECTORIES "")
    set_property(TARGET ${layer} PROPERTY INTERFACE_INCLUDE_DIRECTORIES ${ZURO_CP1251_DIR})
    target_include_directories(${layer} PRIVATE ${ZURO_CP1251_DIR})
    target_compile_options(${layer} PRIVATE ${ZURO_FUZZ_COMPILE_OPTIONS})
    add_dependencies(${layer} zuro_cp1251_headers)
  endforeach()
  # A Mentor list line without designators stands for eight parts here, not a thousand.
  set_source_files_properties(${ZURO_CP1251_DIR}/readers/mentor_converter.cpp
                              TARGET_DIRECTORY zuro_readers
                              PROPERTIES COMPILE_DEFINITIONS ZURO_MOST_UNLISTED_PARTS=8)
endfunction()
