# Collects the release folder: both programs (each named vulkara.scr, since the file name picks
# the settings key), the installer, the README's installing section as a Windows text file,
# and SHA-256 checksums of all of them.
#   cmake -DRELEASE_DIR= -DVERSION= -DSCR32= -DSCR64= -DSETUP= -DREADME= -P MakeRelease.cmake
foreach(var RELEASE_DIR VERSION SCR32 SCR64 SETUP README)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "MakeRelease: ${var} is not set")
    endif()
endforeach()
foreach(input ${SCR32} ${SCR64} ${SETUP} ${README})
    if(NOT EXISTS ${input})
        message(FATAL_ERROR "MakeRelease: ${input} is missing")
    endif()
endforeach()

# The section "Installing on Windows", up to the next section. Read as one string: list
# handling would mangle the semicolons and brackets of Markdown.
file(READ ${README} readme)
string(FIND "${readme}" "\n## Installing on Windows\n" begin)
if(begin EQUAL -1)
    message(FATAL_ERROR "MakeRelease: README.md has no section \"Installing on Windows\"")
endif()
math(EXPR begin "${begin} + 1")
string(SUBSTRING "${readme}" ${begin} -1 section)
string(FIND "${section}" "\n## " end)
if(NOT end EQUAL -1)
    string(SUBSTRING "${section}" 0 ${end} section)
endif()
string(STRIP "${section}" section)
string(REGEX REPLACE "^## " "" section "${section}")
# Windows line ends, so that every editor shows the lines.
string(REPLACE "\n" "\r\n" section "${section}\n")
set(header "Vulkara ${VERSION}\r\n\r\n")

file(REMOVE_RECURSE ${RELEASE_DIR})
file(MAKE_DIRECTORY ${RELEASE_DIR}/x86 ${RELEASE_DIR}/x64)
file(COPY_FILE ${SCR32} ${RELEASE_DIR}/x86/vulkara.scr)
file(COPY_FILE ${SCR64} ${RELEASE_DIR}/x64/vulkara.scr)
get_filename_component(setup_name ${SETUP} NAME)
file(COPY_FILE ${SETUP} ${RELEASE_DIR}/${setup_name})
file(WRITE ${RELEASE_DIR}/INSTALL.txt "${header}${section}")

set(sums "")
foreach(name x86/vulkara.scr x64/vulkara.scr ${setup_name} INSTALL.txt)
    file(SHA256 ${RELEASE_DIR}/${name} hash)
    string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${RELEASE_DIR}/SHA256SUMS ${sums})
message(STATUS "Release ${VERSION} in ${RELEASE_DIR}")
