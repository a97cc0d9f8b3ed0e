# Packaging: the install layout both package kinds share, and CPack's generators. On Windows
# the NSIS generator builds 3DTidewell-1.5-Setup.exe from our own template (cmake/nsis), which
# targets amd64-unicode; `cpack --config build/windows/CPackConfig.cmake` (scripts/package.sh)
# runs it with Debian's makensis.
if(WIN32)
  # Program Files\3D Tidewell\: the saver, its ".exe" copy for "Run As EXE", the help page the
  # program opens from InstallPath, and a sample scene description with every entry commented.
  install(TARGETS tidewell_saver RUNTIME DESTINATION .)
  install(FILES $<TARGET_FILE_DIR:tidewell_saver>/3DTidewell.scr DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/help/3DTidewell.html ${CMAKE_SOURCE_DIR}/packaging/3DTidewell.ini DESTINATION .)

  set(CPACK_GENERATOR NSIS)
  set(CPACK_PACKAGE_NAME "3D Tidewell")
  set(CPACK_PACKAGE_VENDOR "Korvane Software")
  set(CPACK_PACKAGE_VERSION "1.5")
  set(CPACK_PACKAGE_VERSION_MAJOR 1)
  set(CPACK_PACKAGE_VERSION_MINOR 5)
  set(CPACK_PACKAGE_VERSION_PATCH 0)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D Tidewell, a 3D aquarium screen saver")
  set(CPACK_PACKAGE_INSTALL_DIRECTORY "3D Tidewell")
  set(CPACK_PACKAGE_FILE_NAME "3DTidewell-1.5-Setup")
  set(CPACK_NSIS_DISPLAY_NAME "3D Tidewell Screen Saver")
  set(CPACK_NSIS_PACKAGE_NAME "3D Tidewell Screen Saver")
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  list(PREPEND CMAKE_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake/nsis)
  include(CPack)
endif()
