# Kolvane for Windows, installed with a setup program or unzipped as a portable copy: everything lies
# in one folder (the programs, Qt's libraries and plugins, the MinGW runtime, locale.dat, kolvane.hlp,
# Data\). "cpack -G NSIS" makes the installer, "cpack -G ZIP" the portable copy; only the installer
# adds the uninstaller, by which the program knows it is installed (settings/Locations.h).

# No Qt comes with Windows: the libraries and plugins the window needs go beside it, found through
# qt.conf, as do Qt's own texts in Japanese (the buttons of its dialogs) from the build machine.
if(TARGET kolvane)
  # Qt's imported targets are seen only where Qt was found.
  find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Network)
  set(qt_libraries Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network)
  foreach(library ${qt_libraries})
    install(FILES $<TARGET_FILE:${library}> DESTINATION .)
  endforeach()
  install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin>
          DESTINATION platforms)
  install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/windows/qt.conf DESTINATION .)
  set(KOLVANE_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH "Qt's translations (qt6-translations-l10n)")
  if(EXISTS ${KOLVANE_QT_TRANSLATIONS}/qtbase_ja.qm)
    install(FILES ${KOLVANE_QT_TRANSLATIONS}/qtbase_ja.qm DESTINATION translations)
  else()
    message(WARNING "no qtbase_ja.qm in ${KOLVANE_QT_TRANSLATIONS}: Qt's dialogs will speak English")
  endif()
endif()

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/windows/README-Windows.txt DESTINATION .)

# The MinGW runtime, for the window and Qt; kolvane-convert.exe alone carries its own (-static).
if(TARGET kolvane)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE found
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(IS_ABSOLUTE "${found}" AND EXISTS "${found}")
      install(FILES ${found} DESTINATION .)
    endif()
  endforeach()
  # CPack strips only the programs; the libraries come with their symbols, more than half their size.
  install(CODE "file(GLOB_RECURSE dlls \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
                execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded \${dlls} COMMAND_ERROR_IS_FATAL ANY)")
endif()

set(CPACK_PACKAGE_NAME Kolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kolvane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "hourly weather-station files to yearly files of daily values")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Kolvane)
set(CPACK_PACKAGE_FILE_NAME Kolvane-${PROJECT_VERSION}-windows-x64)
set(CPACK_STRIP_FILES ON)
# Only a 64-bit installer runs where the programs are 64-bit (and under wine64), in Unicode for the
# Japanese names.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "年次ファイル生成プログラム")
set(CPACK_NSIS_DISPLAY_NAME "年次ファイル生成プログラム (Kolvane ${PROJECT_VERSION})")
set(CPACK_PACKAGE_EXECUTABLES kolvane "年次ファイル生成プログラム")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_GENERATOR NSIS ZIP)
include(CPack)
