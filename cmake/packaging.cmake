# Install layout and packages. Each target keeps its own block of install() rules and CPack
# settings; CPack itself is included once, at the end.
include_guard(GLOBAL)

# On Windows the NSIS generator builds 3DTidewell-1.5-Setup.exe from our own template (cmake/nsis), which
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
  set(CPACK_NSIS_MUI_ICON "${CMAKE_SOURCE_DIR}/resources/3dtidewell.ico")
  set(CPACK_NSIS_MUI_UNIICON "${CMAKE_SOURCE_DIR}/resources/3dtidewell.ico")
  set(CPACK_NSIS_MUI_WELCOMEFINISHPAGE_BITMAP "${CMAKE_SOURCE_DIR}/resources/3dtidewell_setup.dib")
  set(CPACK_NSIS_UNINSTALLER_DESCRIPTION_SCRIPT "${CMAKE_SOURCE_DIR}/cmake/nsis/uninstaller_description.pl")
  list(PREPEND CMAKE_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake/nsis)
endif()

if(NOT WIN32)
  # Linux: the program in bin/ and its GTK module in lib/<multiarch>/3dtidewell/ (a private
  # folder, outside ldconfig's: the package needs no ldconfig call), the same program as an
  # xscreensaver hack where xscreensaver looks for hacks, its settings description for
  # xscreensaver's dialog, its manual page, the help page and a menu entry that opens the
  # program's own settings dialog. A Debian package with that layout.
  include(GNUInstallDirs)
  set(tidewell_linux_dir ${CMAKE_SOURCE_DIR}/packaging/linux)
  install(TARGETS tidewell_saver RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The GTK module, which the program finds relative to its bin/ folder; not executable.
  install(TARGETS tidewell_gtk LIBRARY DESTINATION ${TIDEWELL_GTK_MODULE_DIR}
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  # The hack is a link to the program: xscreensaver finds it by name in its hack folder.
  install(CODE "
    set(hack_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/libexec/xscreensaver\")
    file(MAKE_DIRECTORY \"\${hack_dir}\")
    file(CREATE_LINK ../../${CMAKE_INSTALL_BINDIR}/3dtidewell \"\${hack_dir}/3dtidewell\" SYMBOLIC)
    message(STATUS \"Installing: \${hack_dir}/3dtidewell -> ../../${CMAKE_INSTALL_BINDIR}/3dtidewell\")")
  install(FILES ${tidewell_linux_dir}/3dtidewell.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
  install(FILES ${tidewell_linux_dir}/3dtidewell.desktop ${tidewell_linux_dir}/3dtidewell-wallpaper.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # The program's icon (from the art generator) in the icon theme every desktop falls back to;
  # the menu entry and the GTK windows name it.
  foreach(size 16 32 48 256)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/3dtidewell_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME 3dtidewell.png)
  endforeach()
  install(FILES ${CMAKE_SOURCE_DIR}/help/3DTidewell.html ${tidewell_linux_dir}/copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/3dtidewell)
  # A native package's changelog and the manual page (section 6, as xscreensaver's hacks), compressed
  # to the maximum without a time stamp, as Debian wants.
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
  set(tidewell_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
  set(tidewell_manual ${CMAKE_BINARY_DIR}/packaging/3dtidewell.6.gz)
  foreach(pair IN ITEMS "changelog.Debian|${tidewell_changelog}" "3dtidewell.6|${tidewell_manual}")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 compressed)
    execute_process(COMMAND gzip -9nc ${tidewell_linux_dir}/${source} OUTPUT_FILE ${compressed} COMMAND_ERROR_IS_FATAL ANY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${tidewell_linux_dir}/${source})
  endforeach()
  install(FILES ${tidewell_changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/3dtidewell)
  install(FILES ${tidewell_manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME 3dtidewell)
  set(CPACK_PACKAGE_VERSION 1.5)
  set(CPACK_PACKAGE_VENDOR "Korvane Software")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME 3dtidewell_1.5_amd64.deb)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Korvane Software <saver@korvane.example>")
  set(CPACK_DEBIAN_PACKAGE_SECTION x11)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D aquarium screen saver")
  # The first line of the package's description is the summary above; CPack starts each line of
  # this long one with the one space Debian wants (a line that already has one would be shown
  # verbatim).
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A shoal of tropical fish of three species crosses the view at many
depths and speeds under a water surface lit by drifting caustics, over a
rippled sand bottom, while streams of bubbles rise with a soft bubbling
sound. It runs full screen on X11 and on Wayland sessions (sway, KDE Plasma,
GNOME), as an xscreensaver hack, and has a settings dialog with a live
preview.")
  # Run-time dependencies from the program's and the module's own libraries (dpkg-shlibdeps reads
  # every ELF file of the package, GTK's from the module); GL and SDL are loaded by name at run time.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libglu1-mesa, libsdl2-2.0-0")
  # Help opens the page with xdg-open when GTK cannot.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
