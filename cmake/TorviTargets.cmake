# Helpers shared by every folder's CMakeLists.txt.

# torvi_add_gtest(<name> [LOADS_FIREBIRD_CLIENT] LABELS <label>... SOURCES <file>... LIBS <target>...)
# Builds a GoogleTest executable and registers its tests with ctest under the given labels
# (unit, integration, ui, windows).
# LOADS_FIREBIRD_CLIENT: the tests (or the programs they start) load the real Firebird client. That library
# ends threads of its own in the background, and LeakSanitizer's end-of-process check can crash on a
# thread that is exiting while it stops them all; so, under the sanitizers, these tests run without the
# leak check (the same code runs leak-checked in the tests that use the fake client library).
function(torvi_add_gtest name)
  cmake_parse_arguments(ARG "LOADS_FIREBIRD_CLIENT" "" "LABELS;SOURCES;LIBS" ${ARGN})
  set(environment "")
  if(TORVI_SANITIZE AND ARG_LOADS_FIREBIRD_CLIENT)
    set(environment ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # The run mails through libcurl: on Windows its DLLs (and OpenSSL's) go beside every test program.
  torvi_copy_windows_dlls(${name})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS "${ARG_LABELS}" ${environment}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# torvi_add_fuzzer(<name> SOURCES <file>... LIBS <target>...)
# Only with TORVI_FUZZ (clang): a libFuzzer target that scripts/test runs for a bounded time.
function(torvi_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TORVI_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY TORVI_FUZZERS ${name})
endfunction()
