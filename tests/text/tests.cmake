target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/letters_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/utf8_test.cpp
)
