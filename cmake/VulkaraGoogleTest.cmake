# GoogleTest: the distribution's prebuilt libraries for the native build; for the cross
# build, the distribution's sources compiled with the cross compiler.
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
    set(VULKARA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(${VULKARA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # The googletest build defines GTest::gtest and GTest::gtest_main itself.
    target_link_options(gtest PUBLIC -static -static-libgcc -static-libstdc++)
else()
    find_package(GTest REQUIRED)
endif()
