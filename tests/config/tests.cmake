target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/c_number_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_folder_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/abbrev_table_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/abbrev_import_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/abbrev_library_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/autostart_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shipped_data_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sample_workbook_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/posix_files_test.cpp
)
# The config tests run on the simulated machine, in scratch folders.
# The shipped files are read, never written.
target_compile_definitions(tonvira_tests PRIVATE TONVIRA_DATA_DIR="${PROJECT_SOURCE_DIR}/data")
