# Cross toolchain for Windows with Debian's MinGW-w64 (posix thread model, which GoogleTest
# needs for std::mutex). VULKARA_WINDOWS_ARCH picks the architecture: i686 (the default, the
# primary 32-bit build) or x86_64.
if(NOT VULKARA_WINDOWS_ARCH)
    set(VULKARA_WINDOWS_ARCH i686)
endif()
if(NOT VULKARA_WINDOWS_ARCH MATCHES "^(i686|x86_64)$")
    message(FATAL_ERROR "VULKARA_WINDOWS_ARCH must be i686 or x86_64, not ${VULKARA_WINDOWS_ARCH}")
endif()
# The compiler checks configure projects of their own, which see only the listed variables.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VULKARA_WINDOWS_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VULKARA_WINDOWS_ARCH})

set(VULKARA_MINGW_PREFIX ${VULKARA_WINDOWS_ARCH}-w64-mingw32)
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
