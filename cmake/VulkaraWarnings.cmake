# One interface target that carries the project's warning and code-generation options;
# every target of the project links it.
add_library(vulkara_options INTERFACE)
target_compile_options(vulkara_options INTERFACE -Wall -Wextra)
if(WIN32)
    # SSE2 is the baseline for every x86 build, the 32-bit one included.
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "i.86")
        target_compile_options(vulkara_options INTERFACE -msse2 -mfpmath=sse)
    endif()
    # Static runtime: the program needs nothing but the system's own DLLs.
    target_link_options(vulkara_options INTERFACE -static -static-libgcc -static-libstdc++)
    target_compile_definitions(vulkara_options INTERFACE WINVER=0x0501 _WIN32_WINNT=0x0501
                                                         _WIN32_IE=0x0500 NOMINMAX)
endif()
if(VULKARA_SANITIZE)
    target_compile_options(vulkara_options INTERFACE -fsanitize=address,undefined
                                                     -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(vulkara_options INTERFACE -fsanitize=address,undefined)
endif()
