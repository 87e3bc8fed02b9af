tallimo_test(fw_command_line_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR} /
             command_line_test.cpp DEPS fw_command_line)
    tallimo_test(fw_command_line_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR} /
                 command_line_win_test.cpp DEPS fw_command_line_win)
