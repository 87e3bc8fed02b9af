# The installer archive beside zlib level 6 in-process and gzip -6.
if(NOT TALLIMO_WINDOWS AND NOT TALLIMO_FUZZ)
  find_package(ZLIB REQUIRED)
  tallimo_benchmark(setup_archive_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/archive_bench.cpp
    DEPS setup_archive ZLIB::ZLIB)
  if(TARGET setup_archive_bench)
    target_compile_definitions(setup_archive_bench PRIVATE TALLIMO_SOURCE_ROOT="${TALLIMO_ROOT}")
  endif()
endif()
