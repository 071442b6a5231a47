# GoogleTest: the system package natively, Debian's googletest sources for the cross builds.
if(VL4_BUILD_TESTS)
  if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# vl4_add_test(<name> SOURCES ... LIBS ... [LABELS ...])
# One executable, one CTest entry: under Wine a process start costs far more than a test case.
function(vl4_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main vl4_options)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "VL4_CORPUS=${PROJECT_SOURCE_DIR}/../shared/zip-corpus;VL4_SOURCE_DIR=${PROJECT_SOURCE_DIR};VL4_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
    LABELS "${T_LABELS}")
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix)
  endif()
endfunction()
