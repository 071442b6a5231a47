# The setup tool end to end: natively the program runs in a sandbox PC on the headless UI,
# answering a UI script; under Wine the Windows program runs its start-up with "-FAST" against a
# registry prepared with "wine reg".
if(NOT CMAKE_CROSSCOMPILING)
  vl4_add_test(setup_e2e_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/setup_e2e_test.cpp
               LIBS vl4_setup vl4_platform)
  add_dependencies(setup_e2e_test VL4Setup vl4standin)
else()
  add_test(NAME setup_wine_e2e
           COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/setup_wine_e2e.sh $<TARGET_FILE:VL4Setup>
                   ${CMAKE_BINARY_DIR}/wineprefix)
  # Both Wine tests of the setup tool prepare the same registry keys of the prefix.
  set_tests_properties(setup_wine_e2e PROPERTIES FIXTURES_REQUIRED wine_prefix
                                                 RESOURCE_LOCK "vl4_setup_registry;xvfb_screen")
endif()

# The setup window on screen (Windows build, under Wine inside Xvfb), with screenshots of its
# environments page, the Delphi 7 page and the working directory page in <build>/screenshots.
if(WIN32)
  add_executable(setup_gui_test ${CMAKE_CURRENT_LIST_DIR}/setup_gui_test.cpp)
  target_link_libraries(setup_gui_test PRIVATE vl4_setup vl4_platform vl4_ui_win32
                                               GTest::gtest_main vl4_options)
  add_dependencies(setup_gui_test vl4standin)
  add_test(NAME setup_gui_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tests/ui/gui_smoke.sh
                   ${PROJECT_SOURCE_DIR}/cmake/wine-run.sh $<TARGET_FILE:setup_gui_test>
                   ${CMAKE_BINARY_DIR}/screenshots)
  set_tests_properties(setup_gui_test PROPERTIES
    FIXTURES_REQUIRED wine_prefix SKIP_RETURN_CODE 77 TIMEOUT 180
    RESOURCE_LOCK "vl4_setup_registry;xvfb_screen")
endif()
