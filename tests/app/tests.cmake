target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/command_line_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/update_notices_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clipboard_convert_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/other_input_methods_test.cpp
)
