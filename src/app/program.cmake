# The Qt program: the frame as a library the widget tests share, and the
# executable that only calls into it.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

add_library(yzicon_frame STATIC ${CMAKE_CURRENT_SOURCE_DIR}/frame.cpp ${CMAKE_CURRENT_SOURCE_DIR}/frame.h)
target_include_directories(yzicon_frame PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(yzicon_frame PUBLIC yzicon_ui Qt6::Widgets)
# The application icon, our own artwork in the program's own icon layout
# (resources/make_app_icon.cpp made it).
qt_add_resources(yzicon_frame yzicon_resources
  PREFIX /
  BASE ${PROJECT_SOURCE_DIR}/resources
  FILES ${PROJECT_SOURCE_DIR}/resources/yzicon.ico)

add_executable(yzicon ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(yzicon PRIVATE yzicon_frame)

# Remakes resources/yzicon.ico; not part of the normal build.
add_executable(yzicon_make_app_icon EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/resources/make_app_icon.cpp)
target_link_libraries(yzicon_make_app_icon PRIVATE yzicon_icon)
