target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/banner_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/worker_schedule_test.cpp
)
target_link_libraries(tonvira_tests PRIVATE tonvira_promo)
