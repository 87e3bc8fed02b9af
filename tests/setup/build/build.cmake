# The build of a distribution and the floppy transfer on in-memory disks.
tallimo_test(setup_build_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/build_test.cpp DEPS setup_build)
# The floppy transfer plan from an arbitrary trailer and file size.
tallimo_fuzz_target(setup_floppy_plan_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/floppy_plan_fuzz.cpp
  DEPS setup_build CORPUS ${CMAKE_CURRENT_LIST_DIR}/fuzz/floppy_plan_seeds)
