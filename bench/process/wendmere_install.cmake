# The setup program's install as a whole process under Wine, beside the
# archive's own extraction and cp (run bench/process/wendmere_install.sh).
if(TALLIMO_WINDOWS)
  add_executable(wendmere_install_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/wendmere_install_bench.cpp)
  _tallimo_common(wendmere_install_bench)
  target_link_libraries(wendmere_install_bench PRIVATE setup_archive_win setup_base)
endif()
