# Installation and packages: on Linux a Debian package of the window and the
# command line (cpack -G DEB); for Windows a ZIP of Cordshift.exe and
# cordshift-cli.exe and an installer of both (cpack -G "ZIP;NSIS" in a
# Windows build). "make package" makes all three.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME cordshift)
set(CPACK_PACKAGE_VENDOR "Cordshift")
set(CPACK_PACKAGE_CONTACT "Cordshift maintainers <maintainers@cordshift.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Converts wire-harness wiring data between continuity and hipot testers")
# Broken into lines, as Debian's control files want them (at most 80
# characters).
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Cordshift converts wiring data (.lvd files in Shift-JIS) between the"
  "continuity tester (three-field records, terminals in AB or sequential"
  "notation) and the hipot tester (six-field records) of one tester family,"
  "for a whole folder tree at a time. It comes as a window (Cordshift) and as"
  "a command line (cordshift-cli).")
set(CPACK_PACKAGE_INSTALL_DIRECTORY cordshift)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # The programs and the README at the top of the archive's one folder and of
  # the installation folder, where the window's settings file lives too.
  install(TARGETS cordshift-cli RUNTIME DESTINATION .)
  if(TARGET Cordshift)
    install(TARGETS Cordshift RUNTIME DESTINATION .)
  endif()
  install(FILES README.md DESTINATION .)
  set(CPACK_GENERATOR ZIP NSIS)
  # The NSIS commands below hold quotes and backslashes, which reach the
  # installer's script only when cpack's configuration is written escaped.
  set(CPACK_VERBATIM_VARIABLES ON)
  set(CPACK_PACKAGE_FILE_NAME
      "cordshift-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR}")
  # cpack names the installer like the ZIP and adds "-setup"; the ZIP's
  # folder is named without the version (CordshiftCPack.cmake).
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CordshiftCPack.cmake)
  set(CPACK_NSIS_PACKAGE_NAME Cordshift)
  set(CPACK_NSIS_DISPLAY_NAME Cordshift)
  # The installer's own script (nsis/NSIS.template.in) in place of CPack's:
  # it installs for one user without administrator rights or for every
  # user elevated, in Japanese throughout.
  set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/nsis)
  # The installation folder's name, under %LOCALAPPDATA%\Programs or
  # Program Files; also the Start-menu folder's and the uninstall key's.
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Cordshift)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Cordshift)
  # The installer itself is a 64-bit Unicode program: the programs it
  # installs are 64-bit anyway, and a Wine without 32-bit support (Debian's
  # wine64 alone) can run it for the test.
  set(CPACK_NSIS_DEFINES "Target amd64-unicode")
  set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
  # The program whose icon the Start menu and the uninstall entry show.
  set(CPACK_NSIS_INSTALLED_ICON_NAME Cordshift.exe)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/packaging/cordshift.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/packaging/cordshift.ico)
else()
  # The AppStream id; the desktop entry and the metadata are named after it.
  set(app_id io.github.cordshift.Cordshift)
  set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/packaging)
  set(gzipped_files)
  # Debian keeps manual pages and changelogs gzipped at the highest level,
  # without the file's name and time stamp (-n), as its own tools do.
  function(cordshift_gzip source output)
    get_filename_component(folder ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND sh -c "gzip -9n <\"$1\" >\"$2\"" sh ${source} ${output}
      DEPENDS ${source}
      VERBATIM)
    set(gzipped_files ${gzipped_files} ${output} PARENT_SCOPE)
  endfunction()

  install(TARGETS cordshift-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The manual page is made from the program's own --help, so it runs the
  # built program: not in a cross build.
  if(NOT CMAKE_CROSSCOMPILING)
    find_program(CORDSHIFT_HELP2MAN help2man)
  endif()
  if(CORDSHIFT_HELP2MAN)
    add_custom_command(OUTPUT ${generated}/cordshift-cli.1.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
      COMMAND ${PROJECT_SOURCE_DIR}/packaging/make-man-page.sh
              $<TARGET_FILE:cordshift-cli>
              ${PROJECT_SOURCE_DIR}/packaging/cordshift-cli.h2m
              ${generated}/cordshift-cli.1.gz
      DEPENDS cordshift-cli
              ${PROJECT_SOURCE_DIR}/packaging/make-man-page.sh
              ${PROJECT_SOURCE_DIR}/packaging/cordshift-cli.h2m
      VERBATIM)
    list(APPEND gzipped_files ${generated}/cordshift-cli.1.gz)
    install(FILES ${generated}/cordshift-cli.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    message(STATUS "help2man not found: cordshift-cli(1) is left out")
  endif()
  # The window exists only where Qt 6 is found.
  if(TARGET Cordshift)
    install(TARGETS Cordshift RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES packaging/${app_id}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES packaging/${app_id}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES packaging/cordshift.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    # Drawn for their sizes, where the scalable icon would blur (16 px).
    foreach(size IN ITEMS 16 24 32 48 256)
      install(FILES packaging/icons/cordshift-${size}.png
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
              RENAME cordshift.png)
    endforeach()
    cordshift_gzip(${PROJECT_SOURCE_DIR}/packaging/Cordshift.1
                   ${generated}/Cordshift.1.gz)
    install(FILES ${generated}/Cordshift.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
  # A version without a Debian revision makes a native package, whose
  # changelog is changelog.gz.
  cordshift_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog
                 ${generated}/changelog.gz)
  install(FILES ${generated}/changelog.gz packaging/copyright
          DESTINATION ${doc_dir})
  add_custom_target(cordshift_package_files ALL DEPENDS ${gzipped_files})

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The library packages the programs link against, found by dpkg-shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
