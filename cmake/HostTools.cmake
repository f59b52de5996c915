# A cross build needs the native generators (palette, sound, pictures) at build time. They
# are built from this same tree by a nested native configure, so one `cmake --build` of the
# cross tree is enough.
include(ExternalProject)
set(VULKARA_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
ExternalProject_Add(vulkara_host_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${VULKARA_HOST_TOOLS_DIR}
    CMAKE_ARGS -DVULKARA_HOST_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release
               -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${VULKARA_HOST_TOOLS_DIR} --target vulkara-resgen
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${VULKARA_HOST_TOOLS_DIR}/tools/vulkara-resgen)
set(VULKARA_RESGEN ${VULKARA_HOST_TOOLS_DIR}/tools/vulkara-resgen)
