target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/chord_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/log_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/keyboard_hook_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pipeline_property_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sim_typing_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/english_field_property_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/long_word_test.cpp
)
# The pipeline first, then the simulated desktop that implements its OS seam.
target_link_libraries(tonvira_tests PRIVATE tonvira_input tonvira_sim_desktop)

# tonvira-sim types through the real pipeline: special keys in braces edit the field.
add_test(NAME tonvira_sim.special_keys COMMAND tonvira-sim "tieengs{BS}{BS}x {{ok}")
set_tests_properties(tonvira_sim.special_keys PROPERTIES PASS_REGULAR_EXPRESSION "^tiễ {ok}\n$")
add_test(NAME tonvira_sim.unknown_key COMMAND tonvira-sim "a{NOPE}")
set_tests_properties(tonvira_sim.unknown_key PROPERTIES WILL_FAIL TRUE)

# Editing checked against what the user meant, with the shipped word lists (intent-check runs the
# identities over all of them).
target_sources(tonvira_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/editing_intent_test.cpp)
