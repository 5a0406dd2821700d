# Helpers that keep every folder's CMakeLists.txt to a plain list of sources.

# pln_add_library(name SOURCES a.cpp b.cpp DEPS lower_layer ...)
function(pln_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC pln_warnings ${ARG_DEPS})
endfunction()

# pln_add_test(name SOURCES ... DEPS ... [DATA dir])
# DATA becomes the compile definition TEST_DATA_DIR, so golden files never
# depend on the working directory.
function(pln_add_test name)
  cmake_parse_arguments(ARG "" "DATA" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE pln_warnings ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  if(ARG_DATA)
    target_compile_definitions(${name} PRIVATE TEST_DATA_DIR="${ARG_DATA}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()

# pln_add_fuzz(name SOURCE file.cpp CORPUS dir [RUNS n] DEPS ...)
# RUNS: how many new inputs the test command tries after replaying the corpus
# (default 2000); a slow target takes fewer so that each stays a few seconds.
function(pln_add_fuzz name)
  cmake_parse_arguments(ARG "" "SOURCE;CORPUS;RUNS" "DEPS" ${ARGN})
  if(NOT ARG_RUNS)
    set(ARG_RUNS 2000)
  endif()
  add_executable(${name} ${ARG_SOURCE})
  target_link_libraries(${name} PRIVATE pln_warnings ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  file(RELATIVE_PATH corpus ${CMAKE_SOURCE_DIR} ${ARG_CORPUS})
  set_property(GLOBAL APPEND PROPERTY PLN_FUZZ_LIST
               "$<PATH:RELATIVE_PATH,$<TARGET_FILE:${name}>,${CMAKE_BINARY_DIR}> ${corpus} ${ARG_RUNS}")
endfunction()

# The test command reads this list (program, corpus, new runs) to run every
# fuzz target. The paths are the program's in the build folder and the
# corpus's in the checkout, so that a space in the checkout's path never
# splits them.
function(pln_write_fuzz_list)
  get_property(list GLOBAL PROPERTY PLN_FUZZ_LIST)
  string(REPLACE ";" "\n" text "${list}")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzz_targets.txt CONTENT "${text}\n")
endfunction()

# Lets a test or harness leave results of [[nodiscard]] calls unread. Set on
# the sources, so that it comes after the warning flags of pln_warnings
# (-Wall would turn the check on again).
function(pln_allow_unread_results target)
  get_target_property(sources ${target} SOURCES)
  set_source_files_properties(${sources} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS -Wno-unused-result)
endfunction()
