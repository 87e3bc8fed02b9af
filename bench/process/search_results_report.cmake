# The search results' printout as whole processes under Wine, beside enscript
# (run bench/process/search_results_report.sh).
if(TALLIMO_WINDOWS)
  add_executable(search_results_report_bench EXCLUDE_FROM_ALL
                 ${CMAKE_CURRENT_LIST_DIR}/search_results_report_bench.cpp)
  _tallimo_common(search_results_report_bench)
  target_link_libraries(search_results_report_bench PRIVATE capture_log_viewer test_support_pdf_output)
endif()
