# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers
# (g++-mingw-w64-x86-64-posix: the POSIX thread model, which std::thread and
# std::mutex need). Executables are linked statically so that they run on a
# Windows machine, or under Wine, without MinGW's runtime DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CORDSHIFT_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CORDSHIFT_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORDSHIFT_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${CORDSHIFT_MINGW_TRIPLET}-windres)

# Libraries, headers and CMake packages come from the MinGW sysroot only, so
# that nothing built for Linux is picked up; tools run on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${CORDSHIFT_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
