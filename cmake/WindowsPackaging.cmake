# The Windows installation: the programs with everything they need beside
# them, and the NSIS installer made from it.
#   cmake --install <build> --prefix <folder>    # the installed layout
#   cmake --build <build> --target installer     # tovrel-terminal-<version>-windows-x64-setup.exe
# The desktop program is linked against Qt's DLLs and the compiler's runtime
# DLLs (one C++ runtime for Qt and the program); the command line is linked
# statically where the toolchain does so, and runs from the same folder.
# Debian's windeployqt does not know MinGW builds: the list is explicit.
set(_tovrel_programs tovrel-cli)
if(TARGET tovrel-terminal)
  list(APPEND _tovrel_programs tovrel-terminal)
endif()
install(TARGETS ${_tovrel_programs} RUNTIME DESTINATION .)

if(TARGET tovrel-terminal)
  # Qt's libraries and plugins, where the Qt build put them.
  foreach(_lib Core Gui Widgets PrintSupport)
    install(FILES $<TARGET_FILE:Qt6::${_lib}> DESTINATION .)
  endforeach()
  install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
  if(TARGET Qt6::QWindowsVistaStylePlugin)
    install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
  endif()
  # Qt looks for its plugins and translations beside the program.
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/qt.conf DESTINATION .)
  # Qt's own texts (file dialogs, standard buttons) in Russian: the
  # translation files do not depend on the platform, Debian's serve.
  set(TOVREL_QT_TRANSLATIONS "/usr/share/qt6/translations" CACHE PATH "Folder of Qt's qtbase_ru.qm (qt6-translations-l10n)")
  if(NOT EXISTS "${TOVREL_QT_TRANSLATIONS}/qtbase_ru.qm")
    message(FATAL_ERROR "qtbase_ru.qm not found in ${TOVREL_QT_TRANSLATIONS} (qt6-translations-l10n)")
  endif()
  install(FILES "${TOVREL_QT_TRANSLATIONS}/qtbase_ru.qm" DESTINATION translations)

  # The compiler's runtime, from the mingw-w64 packages.
  foreach(_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                    OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${_path}" OR NOT EXISTS "${_path}")
      message(FATAL_ERROR "the compiler does not know ${_dll}")
    endif()
    file(REAL_PATH "${_path}" _path)
    install(FILES "${_path}" DESTINATION .)
  endforeach()
endif()

# The installer, made with NSIS's makensis (Debian's nsis on Linux).
find_program(TOVREL_MAKENSIS makensis)
if(TOVREL_MAKENSIS AND TARGET tovrel-terminal)
  set(_stage ${CMAKE_BINARY_DIR}/installer-stage)
  set(TOVREL_INSTALLER ${CMAKE_BINARY_DIR}/tovrel-terminal-${PROJECT_VERSION}-windows-x64-setup.exe)
  add_custom_target(installer
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${_stage}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${_stage} --strip
    COMMAND ${CMAKE_COMMAND} -DSTAGE=${_stage} -DOUT=${_stage}-files.nsh -P ${PROJECT_SOURCE_DIR}/cmake/NsisFileList.cmake
    COMMAND ${TOVREL_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${_stage} -DFILES=${_stage}-files.nsh
            -DOUTFILE=${TOVREL_INSTALLER}
            ${PROJECT_SOURCE_DIR}/packaging/windows/tovrel-terminal.nsi
    COMMENT "Windows installer ${TOVREL_INSTALLER}"
    VERBATIM)
  add_dependencies(installer ${_tovrel_programs})
endif()
