# Installation and the Debian package: the desktop program, tovrel-cli,
# tovrel-sim, a desktop entry and an icon.
include(GNUInstallDirs)

set(_tovrel_programs tovrel-cli tovrel-sim)
if(TARGET tovrel-terminal)
  list(APPEND _tovrel_programs tovrel-terminal)
endif()
install(TARGETS ${_tovrel_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET tovrel-terminal)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/tovrel-terminal.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/tovrel-terminal.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovrel-terminal)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tovrel Terminal developers")
set(CPACK_PACKAGE_CONTACT "Tovrel Terminal developers <tovrel-terminal@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Terminal program of the Tovrel 60-2 ignition-timing variator")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Finds the variator on a serial port, reads, edits and writes its four advance\n maps, calibrates the throttle sensor, watches live values, copies device logs,\n keeps configurations in XML files, flashes firmware and records oscillograms.\n Includes tovrel-cli (command line) and tovrel-sim (a simulated variator).")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Russian texts for its file dialogs and standard buttons; the library
# dependencies (Qt, QCustomPlot, pugixml, ...) come from the programs' links.
if(TARGET tovrel-terminal)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
