# Read by cpack once per generator: the installer and the ZIP share the name
# that says what they hold, and the installer says that it is one.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
