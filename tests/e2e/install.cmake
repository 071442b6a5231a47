# The installer end to end, natively: Inst.exe on the student's road in a sandbox PC, launching
# the setup tool (both answer UI scripts).
# The speed check against unzip (tests/e2e/install_perf.sh, about a minute) runs on demand.
if(NOT CMAKE_CROSSCOMPILING)
  vl4_add_test(install_e2e_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_e2e_test.cpp
               LIBS vl4_setup vl4_platform)
  add_dependencies(install_e2e_test VL4Setup vl4standin)
endif()
