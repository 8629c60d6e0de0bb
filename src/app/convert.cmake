# The command-line converter. It takes the program's own path from picture to
# icon (yzicon_state) and links no Qt, so it runs on machines without a display.
add_library(yzicon_convert STATIC
  ${CMAKE_CURRENT_LIST_DIR}/convert_options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert_icon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert_batch.cpp)
target_include_directories(yzicon_convert PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(yzicon_convert PUBLIC yzicon_state)
target_compile_definitions(yzicon_convert PRIVATE YZICON_VERSION="${PROJECT_VERSION}")

add_executable(yzicon-convert ${CMAKE_CURRENT_LIST_DIR}/convert_main.cpp)
target_link_libraries(yzicon-convert PRIVATE yzicon_convert)

# Installing it, and the program when it is built.
include(${CMAKE_CURRENT_LIST_DIR}/install.cmake)
