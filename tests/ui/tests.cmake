target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/settings_model_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/abbrev_editor_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/app_rules_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/update_window_model_test.cpp
)
