# The build of a distribution and the floppy transfer on in-memory disks.
tallimo_test(setup_build_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/build_test.cpp DEPS setup_build)
