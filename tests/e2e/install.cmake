# The installer end to end. Natively: Inst.exe on the student's road in a sandbox PC, launching
# the setup tool (both answer UI scripts). Under Wine (Windows build, in Xvfb): the same road on
# screen, driven at the real windows, with screenshots in <build>/screenshots.
# The speed check against unzip (tests/e2e/install_perf.sh, about a minute) runs on demand.
if(NOT CMAKE_CROSSCOMPILING)
  vl4_add_test(install_e2e_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_e2e_test.cpp
               LIBS vl4_setup vl4_platform)
  add_dependencies(install_e2e_test VL4Setup uninvl32 vl4standin)
else()
  add_test(NAME install_wine_road
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/demo/gui_road.sh ${CMAKE_BINARY_DIR}/bin
                   ${CMAKE_BINARY_DIR}/screenshots)
  set_tests_properties(install_wine_road PROPERTIES
    FIXTURES_REQUIRED wine_prefix SKIP_RETURN_CODE 77 TIMEOUT 300
    RESOURCE_LOCK "vl4_setup_registry;xvfb_screen")
endif()
