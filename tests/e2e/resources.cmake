# The shipped program's manifest, version information and icon, read back from the built file.
if(WIN32)
  add_test(NAME windows_resources
           COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/windows_resources.sh $<TARGET_FILE:VL4Setup>)
endif()
