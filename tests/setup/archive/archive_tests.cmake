# The installer archive on in-memory disks (natively and under Wine).
tallimo_test(setup_archive_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/archive_test.cpp DEPS setup_archive)
