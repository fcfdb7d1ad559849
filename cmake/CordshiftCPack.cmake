# Read by cpack once per generator: the installer and the ZIP share the name
# that says what they hold, and the installer says that it is one. The
# ZIP's one folder is named without the version, so that a new version
# unpacked over the old one replaces its programs and keeps the settings
# file beside them.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGING_INSTALL_PREFIX /Cordshift)
endif()
