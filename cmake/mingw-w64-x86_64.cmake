# Cross build for 64-bit Windows with Debian's MinGW-w64 GCC, in its posix thread model: the win32
# model of GCC 12 has no std::thread, std::mutex or std::condition_variable.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(XSC_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${XSC_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${XSC_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${XSC_MINGW_TRIPLE}-windres)

# Libraries, headers and CMake packages come from the MinGW sysroot and from the folders added to
# CMAKE_FIND_ROOT_PATH (Qt built for Windows), never from the build machine's /usr; programs
# (the host's moc and rcc among them) come from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${XSC_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under wine; CTest puts it before every command that is a target of the build.
find_program(XSC_WINE wine)
if(XSC_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${XSC_WINE})
endif()
