# Installation and packages: on Linux a Debian package of the window and the
# command line (cpack -G DEB), for Windows a ZIP of cordshift-cli.exe
# (cpack -G ZIP in a Windows build). "make package" makes both.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME cordshift)
set(CPACK_PACKAGE_VENDOR "Cordshift")
set(CPACK_PACKAGE_CONTACT "Cordshift maintainers <maintainers@cordshift.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Converts wire-harness wiring data between continuity and hipot testers")
set(CPACK_PACKAGE_DESCRIPTION
    "Cordshift converts wiring data (.lvd files in Shift-JIS) between the \
continuity tester (three-field records, terminals in AB or sequential \
notation) and the hipot tester (six-field records) of one tester family, \
for a whole folder tree at a time. It comes as a window (Cordshift) and as \
a command line (cordshift-cli).")
set(CPACK_PACKAGE_INSTALL_DIRECTORY cordshift)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # Everything at the top of the archive's one folder.
  install(TARGETS cordshift-cli RUNTIME DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME
      "cordshift-cli-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR}")
else()
  install(TARGETS cordshift-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The window exists only where Qt 6 is found.
  if(TARGET Cordshift)
    install(TARGETS Cordshift RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES packaging/cordshift.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES packaging/cordshift.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  endif()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # The library packages the programs link against, found by dpkg-shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
