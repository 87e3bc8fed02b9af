# Build rules shared by every folder. A module is declared with one of the
# tallimo_* functions below; the function decides in which of the two builds
# (host or win64) it exists.

set(TALLIMO_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
cmake_path(NORMAL_PATH TALLIMO_ROOT)

set(TALLIMO_WARNINGS -Wall -Wextra)
# The host build runs its tests under AddressSanitizer and UBSan; the benchmark
# build (tools/bench) turns them off to measure real speed.
option(TALLIMO_SANITIZE "Build native code with ASan and UBSan" ON)
# The fuzz build (clang, tools/build fuzz) holds only the core and the fuzz targets.
option(TALLIMO_FUZZ "Build the libFuzzer targets (clang)" OFF)

if(TALLIMO_WINDOWS)
  # Static runtime: the .exe files run on a bare Windows without MinGW DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # Every Windows executable (tests included) runs under Wine through this runner.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TALLIMO_ROOT}/tools/wine-run ${CMAKE_BINARY_DIR})
elseif(TALLIMO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(TALLIMO_SANITIZE)
  set(TALLIMO_SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(${TALLIMO_SANITIZERS})
  add_link_options(${TALLIMO_SANITIZERS})
  # The sanitizer build exists to run the tests: -O1 finds the same faults as
  # -O2 and compiles in about half the time.
  foreach(lang C CXX)
    string(REPLACE "-O2" "-O1" CMAKE_${lang}_FLAGS_RELWITHDEBINFO "${CMAKE_${lang}_FLAGS_RELWITHDEBINFO}")
  endforeach()
endif()

function(_tallimo_common target)
  target_compile_options(${target} PRIVATE ${TALLIMO_WARNINGS})
  target_include_directories(${target} PUBLIC ${TALLIMO_ROOT})
endfunction()

# Plain C++ that includes no Windows header: built in both builds.
#   tallimo_core_library(name SOURCES a.cpp ... [DEPS lib ...])
function(tallimo_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  _tallimo_common(${name})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# Code that calls the Windows API: win64 build only.
#   tallimo_win_library(name SOURCES ... [DEPS ...])
function(tallimo_win_library name)
  if(NOT TALLIMO_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  _tallimo_common(${name})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# A Windows GUI program: win64 build only.
#   tallimo_program(Name SOURCES ... [DEPS ...])
function(tallimo_program name)
  if(NOT TALLIMO_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} WIN32 ${ARG_SOURCES})
  _tallimo_common(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()

# A GoogleTest executable, one CTest test that runs all its cases (see
# _tallimo_gtest_program).
#   tallimo_test(name TIER core|wine|gui|e2e SOURCES ... [DEPS ...] [TIMEOUT s])
# TIER core: built in both builds; labelled "host" natively and "wine" in the
#            win64 build (the same test runs under Wine too).
# TIER wine: console test of Windows code under Wine.
# TIER gui:  opens windows (Wine on the private Xvfb display).
# TIER e2e:  runs a whole program against pseudo-terminals.
# Tests run in their own build folder, where they may leave files.
function(tallimo_test name)
  cmake_parse_arguments(ARG "" "TIER;TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(TALLIMO_FUZZ)
    return()
  endif()
  if(ARG_TIER STREQUAL "core")
    if(TALLIMO_WINDOWS)
      set(label wine)
    else()
      set(label host)
    endif()
  elseif(ARG_TIER MATCHES "^(wine|gui|e2e)$")
    if(NOT TALLIMO_WINDOWS)
      return()
    endif()
    set(label ${ARG_TIER})
  else()
    message(FATAL_ERROR "tallimo_test(${name}): unknown TIER '${ARG_TIER}'")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  _tallimo_common(${name})
  # The code under test keeps the build's optimisation; the test code itself,
  # expanded assertion macros mostly, compiles much faster at a lower level:
  # under the sanitizers -O0 takes half the time of -O1. The Windows tests stay
  # at -O1: the whole-program test dies silently at -O0 under Wine.
  if(TALLIMO_WINDOWS)
    target_compile_options(${name} PRIVATE -O1)
  else()
    target_compile_options(${name} PRIVATE -O0)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name}
    TEST_PREFIX "${name}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS ${label} TIMEOUT ${ARG_TIMEOUT})
endfunction()

# A Google Benchmark executable (host build only; run it by hand or via tools/bench).
#   tallimo_benchmark(name SOURCES ... [DEPS ...])
function(tallimo_benchmark name)
  # Benchmarks measure optimised code: only the benchmark build (tools/bench,
  # sanitizers off) has them, so the test command does not compile them.
  if(TALLIMO_WINDOWS OR TALLIMO_FUZZ OR TALLIMO_SANITIZE)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  _tallimo_common(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
  add_dependencies(benchmarks ${name})
endfunction()

# A fuzz target over core code: a source file defining LLVMFuzzerTestOneInput
# and a folder of seed inputs (regression seeds included).
#   tallimo_fuzz_target(name SOURCES ... [DEPS ...] CORPUS dir [SECONDS n])
# host build: `name_replay` runs every seed once under ASan/UBSan (label host,
#             so the test command runs it).
# fuzz build: `name` fuzzes from the seeds for SECONDS (default 10; label fuzz,
#             run by tools/fuzz).
# For a longer run: build/fuzz/.../name -max_total_time=600 DIR SEEDS
function(tallimo_fuzz_target name)
  cmake_parse_arguments(ARG "" "CORPUS;SECONDS" "SOURCES;DEPS" ${ARGN})
  if(TALLIMO_WINDOWS)
    return()
  endif()
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 10)
  endif()
  if(TALLIMO_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    _tallimo_common(${name})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
    add_test(NAME ${name}.FuzzFromSeeds
             COMMAND sh -c "mkdir -p '${work}' && exec \"$0\" -max_total_time=${ARG_SECONDS} -timeout=10 -rss_limit_mb=2048 '${work}' '${ARG_CORPUS}'"
                     $<TARGET_FILE:${name}>)
    set_tests_properties(${name}.FuzzFromSeeds PROPERTIES LABELS fuzz TIMEOUT 300)
  else()
    add_executable(${name}_replay ${ARG_SOURCES} ${TALLIMO_ROOT}/tools/fuzz_replay_main.cpp)
    _tallimo_common(${name}_replay)
    target_link_libraries(${name}_replay PRIVATE ${ARG_DEPS})
    add_test(NAME ${name}.ReplaySeeds COMMAND ${name}_replay ${ARG_CORPUS})
    set_tests_properties(${name}.ReplaySeeds PROPERTIES LABELS host)
  endif()
endfunction()

# Starting a test program costs more than most of its cases (Wine starts a
# Windows process; the sanitizers map their shadow memory), so each GoogleTest
# program is one CTest test that runs all its cases in one process:
# tools/test-program names the cases that fail and ends one that runs past its
# TIMEOUT. This replaces GoogleTest's gtest_discover_tests, so a fragment that
# calls it directly gets the same.
include(GoogleTest)
function(_tallimo_gtest_program target)
  cmake_parse_arguments(ARG "" "TEST_PREFIX;TEST_SUFFIX;WORKING_DIRECTORY;DISCOVERY_MODE;DISCOVERY_TIMEOUT;TEST_LIST"
                        "EXTRA_ARGS;PROPERTIES" ${ARGN})
  if(NOT ARG_WORKING_DIRECTORY)
    set(ARG_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  # The cases' timeout bounds each case; the program as a whole gets the
  # room of many cases.
  set(case_timeout 120)
  list(FIND ARG_PROPERTIES TIMEOUT at)
  if(at GREATER_EQUAL 0)
    math(EXPR at "${at} + 1")
    list(GET ARG_PROPERTIES ${at} case_timeout)
    list(REMOVE_AT ARG_PROPERTIES ${at})
    math(EXPR at "${at} - 1")
    list(REMOVE_AT ARG_PROPERTIES ${at})
  endif()
  # Window tests each take a display of their own (see tools/wine-run), so
  # they can run side by side.
  list(FIND ARG_PROPERTIES LABELS at)
  if(at GREATER_EQUAL 0)
    math(EXPR at "${at} + 1")
    list(GET ARG_PROPERTIES ${at} labels)
    if(labels STREQUAL "gui")
      list(APPEND ARG_PROPERTIES RESOURCE_GROUPS displays:1)
    endif()
  endif()
  get_target_property(emulator ${target} CROSSCOMPILING_EMULATOR)
  if(NOT emulator)
    set(emulator "")
  endif()
  add_test(NAME ${target}
           COMMAND ${TALLIMO_ROOT}/tools/test-program ${target} ${case_timeout}
                   ${emulator} $<TARGET_FILE:${target}> ${ARG_EXTRA_ARGS}
           WORKING_DIRECTORY ${ARG_WORKING_DIRECTORY})
  set_tests_properties(${target} PROPERTIES TIMEOUT 3600 ${ARG_PROPERTIES})
endfunction()
function(gtest_discover_tests target)
  _tallimo_gtest_program(${target} ${ARGN})
endfunction()

# Each folder's CMakeLists.txt includes every *.cmake fragment beside it and in
# its component sub-folders, one fragment per module, so modules can be added
# without touching shared lists.
macro(tallimo_include_fragments)
  file(GLOB _tallimo_fragments CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cmake
       ${CMAKE_CURRENT_SOURCE_DIR}/*/*.cmake)
  list(SORT _tallimo_fragments)
  foreach(_fragment IN LISTS _tallimo_fragments)
    include(${_fragment})
  endforeach()
endmacro()
