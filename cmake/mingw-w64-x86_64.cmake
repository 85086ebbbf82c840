# Cross-compiling for 64-bit Windows with Debian's mingw-w64.
# ZORVEX_WINDOWS_SYSROOT names the folder holding the Windows builds of the libraries the game
# needs (scripts/windows-deps makes it); it is searched after mingw's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(ZORVEX_WINDOWS_SYSROOT "" CACHE PATH "Folder holding the Windows builds of freeglut, GLEW, glm and stb")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZORVEX_WINDOWS_SYSROOT)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet} ${ZORVEX_WINDOWS_SYSROOT})
# Programs run on the build machine; libraries, headers and packages come from the targets'.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
