# What `cmake --install` puts where: the converter always; with the Qt
# program, the program, its desktop entry (named by the main window's
# caption) and its icon in the hicolor theme. `cpack -G DEB` in the build
# folder makes a Debian package of the same files.
include(GNUInstallDirs)

install(TARGETS yzicon-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(TARGET yzicon)
  install(TARGETS yzicon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/resources/yzicon.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

  # The theme wants PNG; the icon is kept as the program's own ICO.
  find_package(Qt6 REQUIRED COMPONENTS Gui)
  add_executable(yzicon_app_icon_png ${CMAKE_CURRENT_LIST_DIR}/app_icon_png.cpp)
  target_link_libraries(yzicon_app_icon_png PRIVATE Qt6::Gui)
  set(app_icon_png ${CMAKE_CURRENT_BINARY_DIR}/yzicon.png)
  add_custom_command(OUTPUT ${app_icon_png}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:yzicon_app_icon_png> ${PROJECT_SOURCE_DIR}/resources/yzicon.ico ${app_icon_png}
    DEPENDS yzicon_app_icon_png ${PROJECT_SOURCE_DIR}/resources/yzicon.ico
    COMMENT "Writing the application icon as PNG")
  add_custom_target(yzicon_app_icon ALL DEPENDS ${app_icon_png})
  install(FILES ${app_icon_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
endif()

set(CPACK_PACKAGE_NAME yzicon)
set(CPACK_PACKAGE_VENDOR yzicon)
set(CPACK_PACKAGE_CONTACT "yzicon maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turns pictures into 32-bit icons with a transparent background")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Dependencies are read off the installed binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's captions and labels are Chinese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-noto-cjk)
set(CPACK_STRIP_FILES ON)
include(CPack)
