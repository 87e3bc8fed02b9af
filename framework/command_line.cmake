#The program 's arguments: the split (core) and the running program' s own
#command line(Windows).
tallimo_core_library(fw_command_line SOURCES ${CMAKE_CURRENT_LIST_DIR} / command_line.cpp)
    tallimo_win_library(fw_command_line_win SOURCES ${CMAKE_CURRENT_LIST_DIR} /
                        command_line_win.cpp DEPS fw_command_line)
