target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sentences_test.cpp
)
# Reads (never writes) the shipped word lists.
target_compile_definitions(tonvira_tests PRIVATE TONVIRA_DATA_DIR="${PROJECT_SOURCE_DIR}/data")

# The main job's command line, as tools read it: only the text on standard output.
foreach(case
    "tiếng Việt|tieengs Vieetj"
    "tiếng việt|--vni|tie6ng1 vie65t"
    "hoà|--modern|hoaf"
    "tieengs|--app|cmd.exe|tieengs"
    "tiếng|--app|Zalo.exe|tieengs")
  string(REPLACE "|" ";" parts "${case}")
  list(POP_FRONT parts expected)
  list(JOIN parts "_" name)
  add_test(NAME "tonvira_sim.${name}" COMMAND tonvira-sim ${parts})
  set_tests_properties("tonvira_sim.${name}" PROPERTIES PASS_REGULAR_EXPRESSION "^${expected}\n$")
endforeach()

# Batch mode on piped input: one line out per line in, and the decisions explained.
add_test(NAME tonvira_sim.lines_explain
         COMMAND sh -c "printf 'vieetj\\nboss test\\n' | \"$<TARGET_FILE:tonvira-sim>\" --lines --explain")
set_tests_properties(tonvira_sim.lines_explain PROPERTIES PASS_REGULAR_EXPRESSION
  "^việt\n\tvieetj\tviệt\tvi\t[^\n]+\nboss test\n\tboss\tboss\ten\t[^\n]+\n\ttest\ttest\ten\t[^\n]+\n$")
