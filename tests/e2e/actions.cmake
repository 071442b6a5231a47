# The setup tool's module installation end to end under Wine: the Windows program's start-up with
# the stand-in IDE tools installed in the prefix, checked through "wine reg query" and the files.
if(CMAKE_CROSSCOMPILING)
  add_test(NAME actions_wine_e2e
           COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/actions_wine_e2e.sh $<TARGET_FILE:VL4Setup>
                   $<TARGET_FILE:vl4standin> ${CMAKE_BINARY_DIR}/wineprefix)
  # The same registry keys as the setup tool's other Wine tests, and the prefix's regsvr32.
  set_tests_properties(actions_wine_e2e PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT 180
                                                   RESOURCE_LOCK "vl4_setup_registry;xvfb_screen")
endif()
