# Stand-ins for the two programs a distribution packs beside the setup
# program: the loading program ("setup.exe", plain or self-extracting) and the
# uninstaller the uninstall entry names.
if(TALLIMO_WINDOWS)
  add_executable(stand_in_loader WIN32 ${CMAKE_CURRENT_LIST_DIR}/stand_in_loader_win.cpp)
  _tallimo_common(stand_in_loader)
  target_link_libraries(stand_in_loader PRIVATE setup_archive_win)
  add_executable(stand_in_uninstaller WIN32 ${CMAKE_CURRENT_LIST_DIR}/stand_in_uninstaller_win.cpp)
  _tallimo_common(stand_in_uninstaller)
endif()

# Copies both stand-ins beside the target's program after it is built.
#   tallimo_with_stand_ins(target)
function(tallimo_with_stand_ins target)
  if(NOT TALLIMO_WINDOWS)
    return()
  endif()
  add_dependencies(${target} stand_in_loader stand_in_uninstaller)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:stand_in_loader>
            $<TARGET_FILE:stand_in_uninstaller> $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()

tallimo_test(stand_ins_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/stand_ins_test.cpp
  DEPS setup_archive_win)
tallimo_with_stand_ins(stand_ins_test)
