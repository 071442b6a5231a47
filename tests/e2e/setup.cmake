# The setup tool end to end: natively the program runs in a sandbox PC on the headless UI,
# answering a UI script; under Wine the Windows program runs its start-up with "-FAST" against a
# registry prepared with "wine reg".
if(NOT CMAKE_CROSSCOMPILING)
  vl4_add_test(setup_e2e_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/setup_e2e_test.cpp
               LIBS vl4_setup vl4_platform)
  add_dependencies(setup_e2e_test VL4Setup)
else()
  add_test(NAME setup_wine_e2e
           COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/setup_wine_e2e.sh $<TARGET_FILE:VL4Setup>
                   ${CMAKE_BINARY_DIR}/wineprefix)
  set_tests_properties(setup_wine_e2e PROPERTIES FIXTURES_REQUIRED wine_prefix)
endif()
