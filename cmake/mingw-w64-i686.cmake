# Cross toolchain for the 32-bit Windows build (Debian's MinGW-w64, posix thread model,
# which GoogleTest needs for std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VULKARA_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VULKARA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VULKARA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VULKARA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VULKARA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows executables built here run under Wine in the tests.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
