# Report preview: the rules of the preview and progress windows (core).
tallimo_core_library(report_preview_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/preview_rules.cpp DEPS report_producer)
tallimo_win_library(report_preview_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_preview_win.cpp
  DEPS report_preview_rules report_producer fw_ui fw_scrollbox fw_printers)
tallimo_win_library(report_standard_preview_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_standard_preview_win.cpp
  DEPS report_preview_win fw_ui fw_comctrls fw_toolbar fw_imagelist fw_streams_win comdlg32)
tallimo_win_library(report_progress_form_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_progress_form_win.cpp
  DEPS report_preview_rules report_producer fw_ui fw_comctrls)
