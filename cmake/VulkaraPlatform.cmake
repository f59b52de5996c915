# Everything that differs between the Windows cross build and a native host build, in one
# place: the options every target gets, the platform's half of each portable library (sources
# relative to the library's folder), and the folders that exist on one side only. Included
# after VulkaraWarnings, which makes vulkara_options, and before the folders.

if(WIN32)
    enable_language(RC)

    # SSE2 is the baseline for every x86 build, the 32-bit one included.
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "i.86")
        target_compile_options(vulkara_options INTERFACE -msse2 -mfpmath=sse)
    endif()
    # Static runtime: the program needs nothing but the system's own DLLs.
    target_link_options(vulkara_options INTERFACE -static -static-libgcc -static-libstdc++)
    target_compile_definitions(vulkara_options INTERFACE WINVER=0x0501 _WIN32_WINNT=0x0501
                                                         _WIN32_IE=0x0500 NOMINMAX)

    # The engine reaches the program's palette and sound resources, PlaySound and GDI.
    set(VULKARA_ENGINE_PLATFORM_SOURCES win32/CWin32EnginePlatform.cpp)
    set(VULKARA_ENGINE_PLATFORM_INCLUDES ${PROJECT_SOURCE_DIR}/resources)
    set(VULKARA_ENGINE_PLATFORM_LIBRARIES winmm gdi32)
    # Wider flame kernels too, chosen at run time. MinGW's GCC does not keep the stack aligned
    # for 32-byte spills, so their aligned moves are assembled as unaligned ones (engine/).
    set(VULKARA_WIDE_KERNELS ON)
    set(VULKARA_WIDE_KERNEL_OPTIONS -Wa,-muse-unaligned-vector-move)
    # The record's store is the registry, through the framework's profile functions.
    set(VULKARA_SETTINGS_PLATFORM_SOURCES win32/CWin32SettingsStore.cpp)
    set(VULKARA_SETTINGS_PLATFORM_LIBRARIES vulkara_framework shlwapi)

    # The program itself (app/) and the folders only it uses (display/ builds its windows); the 32-bit build, the primary
    # one, also makes the release with the 64-bit program and the installer.
    set(VULKARA_WINDOWS_PROGRAM ON)
    set(VULKARA_PLATFORM_FOLDERS framework ui password resources)
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "i.86")
        list(APPEND VULKARA_PLATFORM_FOLDERS installer)
    endif()
    # Tests run in-process under Wine and end to end against the real program.
    set(VULKARA_PLATFORM_TEST_FOLDERS windows e2e)
else()
    # A computed palette, counted sound calls and a caller-given screen.
    set(VULKARA_ENGINE_PLATFORM_SOURCES DefaultEnginePlatform.cpp)
    set(VULKARA_ENGINE_PLATFORM_INCLUDES)
    set(VULKARA_ENGINE_PLATFORM_LIBRARIES)
    # Wider flame kernels for 64-bit hosts, chosen at run time.
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$"
       AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        set(VULKARA_WIDE_KERNELS ON)
    else()
        set(VULKARA_WIDE_KERNELS OFF)
    endif()
    set(VULKARA_WIDE_KERNEL_OPTIONS)
    # A process-wide in-memory profile.
    set(VULKARA_SETTINGS_PLATFORM_SOURCES NativeSettingsStore.cpp)
    set(VULKARA_SETTINGS_PLATFORM_LIBRARIES)

    set(VULKARA_WINDOWS_PROGRAM OFF)
    set(VULKARA_PLATFORM_FOLDERS tools bench)
    set(VULKARA_PLATFORM_TEST_FOLDERS settings engine display app)
    # The X11 screen hack and its tests, on Linux.
    if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
        list(APPEND VULKARA_PLATFORM_FOLDERS linux)
        list(APPEND VULKARA_PLATFORM_TEST_FOLDERS linux)
    endif()
endif()
