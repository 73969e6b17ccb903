target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/versions_and_urls_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/manifest_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/signature_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/evaluation_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/update_state_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/attempts_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/updater_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/installation_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/package_signer_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/http_body_test.cpp
)
target_link_libraries(tonvira_tests PRIVATE tonvira_update)

# Throw-away key pairs made by the release tool at build time: p1 and b1 fill the table, a
# stranger's key is in no table. The private keys stay in the build folder, encrypted with a
# passphrase as every key the tool writes; the tests sign through sign_for_tests.py, which signs
# the invalid manifests they need as well.
set(update_test_keys ${CMAKE_CURRENT_BINARY_DIR}/update-test-keys)
set(update_test_passphrase tonvira-test-keys)
set(update_release_tool ${PROJECT_SOURCE_DIR}/tools/release/tonvira_release.py)
set(update_keygen ${CMAKE_COMMAND} -E env TONVIRA_KEY_PASSPHRASE=${update_test_passphrase}
                  python3 -B ${update_release_tool} keygen)
add_custom_command(
  OUTPUT ${update_test_keys}/p1.blob ${update_test_keys}/b1.blob ${update_test_keys}/stranger.blob
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${update_test_keys}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${update_test_keys}
  COMMAND ${update_keygen} --private ${update_test_keys}/p1.pem --public ${update_test_keys}/p1.blob
  COMMAND ${update_keygen} --private ${update_test_keys}/b1.pem --public ${update_test_keys}/b1.blob
  COMMAND ${update_keygen} --private ${update_test_keys}/stranger.pem --public ${update_test_keys}/stranger.blob
  DEPENDS ${update_release_tool}
  COMMENT "Making throw-away update-signing keys for the tests")
add_custom_target(update_test_keys DEPENDS ${update_test_keys}/p1.blob)
add_dependencies(tonvira_tests update_test_keys)
target_compile_definitions(tonvira_tests PRIVATE TONVIRA_UPDATE_TEST_KEYS="${update_test_keys}"
                                                 TONVIRA_UPDATE_TEST_PASSPHRASE="${update_test_passphrase}"
                                                 TONVIRA_TEST_SIGNER="${CMAKE_CURRENT_LIST_DIR}/sign_for_tests.py"
                                                 TONVIRA_LOCAL_SERVER="${CMAKE_CURRENT_LIST_DIR}/local_server.py")
