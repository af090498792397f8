# Cross-building for Windows with Debian's MinGW-w64 compilers. Included by
# the toolchain files beside this one, which set MINGW_TRIPLE and
# MINGW_EMULATOR. The -posix compilers have std::thread and std::mutex, which
# GoogleTest needs; the -win32 ones do not.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the Windows executables through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${MINGW_EMULATOR})
