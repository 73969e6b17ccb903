target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/lexicon_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/word_pairs_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/builtin_words_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/word_shape_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scoring_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shipped_word_lists_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/word_lists_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shipped_sentences_test.cpp
)
target_sources(tonvira_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/skeleton_rules_test.cpp)
target_sources(tonvira_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/autofix_test.cpp)
