target_sources(tonvira_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/preedit_session_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux_field_test.cpp
)

# The addon in a real fcitx5 instance (fcitx5's test front end), when the addon is built.
if(TONVIRA_FCITX5)
  find_package(Fcitx5Core REQUIRED)
  find_package(Fcitx5ModuleTestFrontend REQUIRED)
  # fcitx5's own testing modules, as Debian's fcitx5-modules installs them.
  find_file(FCITX5_TESTFRONTEND libtestfrontend.so PATHS ${FCITX_INSTALL_ADDONDIR} REQUIRED NO_DEFAULT_PATH)
  get_filename_component(fcitx5_addon_dir ${FCITX5_TESTFRONTEND} DIRECTORY)
  add_executable(fcitx5_headless_test ${CMAKE_CURRENT_LIST_DIR}/fcitx5_headless_test.cpp)
  get_target_property(tonvira_fcitx5_dir tonvira_fcitx5 BINARY_DIR)
  target_compile_definitions(fcitx5_headless_test PRIVATE
    TONVIRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TONVIRA_ADDON_BUILD_DIR="${tonvira_fcitx5_dir}"
    FCITX5_ADDON_DIR="${fcitx5_addon_dir}"
    FCITX5_DATA_DIR="${FCITX_INSTALL_PKGDATADIR}")
  target_link_libraries(fcitx5_headless_test PRIVATE Fcitx5::Core Fcitx5::Config Fcitx5::Utils
                        Fcitx5::Module::TestFrontend tonvira_warnings)
  add_dependencies(fcitx5_headless_test tonvira_fcitx5)
  add_test(NAME Fcitx5Headless COMMAND fcitx5_headless_test)
endif()
