# 32-bit Windows. Running its tests needs Wine's 32-bit loader (Debian
# package wine32, of the i386 architecture).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_EMULATOR /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
