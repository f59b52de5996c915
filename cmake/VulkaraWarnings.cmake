# One interface target that carries the project's warning and code-generation options;
# every target of the project links it.
add_library(vulkara_options INTERFACE)
target_compile_options(vulkara_options INTERFACE -Wall -Wextra)
if(VULKARA_SANITIZE)
    target_compile_options(vulkara_options INTERFACE -fsanitize=address,undefined
                                                     -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(vulkara_options INTERFACE -fsanitize=address,undefined)
endif()
