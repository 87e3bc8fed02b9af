# One real test per tier, proving each tier's machinery works.
tallimo_test(host_build_smoke_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/host_build_smoke_test.cpp)
tallimo_test(wine_smoke_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/wine_smoke_test.cpp)
tallimo_test(gui_smoke_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/gui_smoke_test.cpp
  DEPS test_support_screenshot)
