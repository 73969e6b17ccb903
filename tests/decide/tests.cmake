target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/lexicon_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/builtin_words_test.cpp
)
