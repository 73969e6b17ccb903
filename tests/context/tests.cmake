target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/context_rules_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/classify_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/focus_tracking_loop_test.cpp
)
