# The two distribution formats read untrusted bytes: the trailer of a
# self-extracting program and the file list a server hands out.
tallimo_fuzz_target(setup_extraction_info_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/extraction_info_fuzz.cpp
  DEPS setup_base CORPUS ${CMAKE_CURRENT_LIST_DIR}/fuzz/extraction_info_seeds)
tallimo_fuzz_target(setup_net_file_list_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/net_file_list_fuzz.cpp
  DEPS setup_base CORPUS ${CMAKE_CURRENT_LIST_DIR}/fuzz/net_file_list_seeds)
