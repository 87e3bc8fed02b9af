# The capture program. Until its main window exists this is the smallest real
# Win32 program with a main window of the product's caption.
tallimo_program(Tallimo SOURCES ${CMAKE_CURRENT_LIST_DIR}/tallimo_main.cpp)
