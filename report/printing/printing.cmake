# Report printing: lengths and paper, frames and the page-drawing interface (core).
tallimo_core_library(report_measures
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/measures.cpp
          ${CMAKE_CURRENT_LIST_DIR}/frame.cpp
  DEPS fw_exceptions)
tallimo_win_library(report_measures_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/measures_win.cpp DEPS report_measures fw_ui)
tallimo_core_library(report_printer_settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/printer_settings.cpp
  DEPS report_measures report_page_store)
tallimo_core_library(report_producer SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_printer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_dialog.cpp
  DEPS report_printer_settings report_page_store)
tallimo_win_library(report_printing_win
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/gdi_page_canvas_win.cpp
          ${CMAKE_CURRENT_LIST_DIR}/printing_platform_win.cpp
  DEPS report_producer report_page_store_win fw_printers)
tallimo_win_library(report_print_dialog_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_dialog_win.cpp
  DEPS report_producer fw_printers fw_ui comdlg32)
