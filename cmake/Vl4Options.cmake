# Compiler flags shared by every target of the project.
add_library(vl4_options INTERFACE)
target_compile_options(vl4_options INTERFACE -Wall -Wextra)
# GCC 12 reports std::string copies as overlapping at -O3 (a known false positive).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(vl4_options INTERFACE -Wno-restrict)
endif()
if(VL4_WERROR)
  target_compile_options(vl4_options INTERFACE -Werror)
endif()
if(VL4_SANITIZE)
  target_compile_options(vl4_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                               -fno-sanitize-recover=undefined)
  target_link_options(vl4_options INTERFACE -fsanitize=address,undefined)
endif()
if(WIN32)
  # The shipped executables carry no MinGW DLLs; ANSI ("A") Win32 functions throughout.
  target_compile_definitions(vl4_options INTERFACE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX
                                                   WIN32_LEAN_AND_MEAN)
  target_link_options(vl4_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()
target_include_directories(vl4_options INTERFACE ${PROJECT_SOURCE_DIR})
