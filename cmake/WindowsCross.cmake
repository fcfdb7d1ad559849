# What a Windows build made on Linux needs from the build machine: GoogleTest
# compiled from Debian's sources with the cross compiler, the header-only
# CLI11 and nlohmann-json from the host's include folder (without putting
# the whole host include folder on the search path), and Wine to run the
# test programs.

# find_package() looks into this folder before anything else, so the calls
# in the subfolders get the targets defined here.
function(cordshift_redirect_package name body)
  string(TOLOWER "${name}" file_name)
  file(WRITE "${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${file_name}-config.cmake" "${body}")
endfunction()

# Only the named header folders of the host are made visible, through links
# in a folder of their own.
set(CORDSHIFT_HOST_HEADERS "${CMAKE_BINARY_DIR}/host-headers")
function(cordshift_host_header_folder folder)
  if(NOT IS_DIRECTORY "/usr/include/${folder}")
    message(FATAL_ERROR "/usr/include/${folder} is missing: install its -dev package")
  endif()
  file(MAKE_DIRECTORY "${CORDSHIFT_HOST_HEADERS}")
  file(CREATE_LINK "/usr/include/${folder}" "${CORDSHIFT_HOST_HEADERS}/${folder}" SYMBOLIC)
endfunction()

cordshift_host_header_folder(CLI)
cordshift_host_header_folder(nlohmann)
foreach(package IN ITEMS CLI11:CLI11 nlohmann_json:nlohmann_json)
  string(REPLACE ":" ";" parts "${package}")
  list(GET parts 0 name)
  list(GET parts 1 target)
  cordshift_redirect_package("${name}" "
if(NOT TARGET ${target}::${target})
  add_library(${target}::${target} INTERFACE IMPORTED)
  set_target_properties(${target}::${target} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES \"${CORDSHIFT_HOST_HEADERS}\")
endif()
")
endforeach()

if(CORDSHIFT_BUILD_TESTS)
  set(CORDSHIFT_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
      "GoogleTest sources compiled with the cross compiler")
  if(NOT EXISTS "${CORDSHIFT_GOOGLETEST_SOURCE}/CMakeLists.txt")
    message(FATAL_ERROR "${CORDSHIFT_GOOGLETEST_SOURCE} is missing: install googletest")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory("${CORDSHIFT_GOOGLETEST_SOURCE}"
                   "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  # GoogleTest's own build names its targets GTest::gtest, GTest::gmock, ...
  cordshift_redirect_package(GTest "set(GTest_FOUND TRUE)\n")
endif()

# ctest and gtest run the test programs through Wine, in a Wine prefix of
# this build folder and with the Japanese locale, under which Wine uses code
# page 932 as the ANSI code page as a Japanese Windows does.
find_program(CORDSHIFT_WINE wine)
if(CORDSHIFT_WINE)
  set(CORDSHIFT_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in"
                 "${CMAKE_BINARY_DIR}/wine-run.sh"
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                                  GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE
                 @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run.sh")
else()
  message(STATUS "wine not found: the Windows test programs are built but cannot be run here")
endif()

# A Linux path as the programs see it under Wine, where the Linux root is
# drive Z:. The separators stay "/", which Windows accepts as well, so that
# the path can go into a C string as it is.
function(cordshift_wine_path out linux_path)
  set(${out} "Z:${linux_path}" PARENT_SCOPE)
endfunction()
