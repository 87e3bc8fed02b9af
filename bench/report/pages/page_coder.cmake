# The report page coder side by side with zlib on the same pages.
if(NOT TALLIMO_WINDOWS AND NOT TALLIMO_FUZZ)
  find_package(ZLIB REQUIRED)
  tallimo_benchmark(page_coder_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/page_coder_bench.cpp
    DEPS report_page_store ZLIB::ZLIB)
endif()
