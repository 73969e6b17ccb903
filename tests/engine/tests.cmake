target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/word_end_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/backspace_test.cpp
)
