target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/tone_position_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/compose_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kept_composition_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/syllable_test.cpp
)
