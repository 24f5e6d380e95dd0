# Cross-building for 64-bit Windows on Debian with the MinGW-w64 compilers
# (packages g++-mingw-w64-x86-64-posix, gcc-mingw-w64-x86-64-posix).
# The posix-thread variants: Debian's default x86_64-w64-mingw32-g++ uses
# win32 threads, which Qt built with the posix ones cannot mix with.
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DCMAKE_PREFIX_PATH=<Qt for MinGW> ...
#
# lrelease and lupdate run on the build machine: they come from its own
# Qt (qttools5-dev-tools, qttools5-dev), found through Qt5LinguistTools_DIR.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARVINE_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TARVINE_MINGW_TRIPLE}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TARVINE_MINGW_TRIPLE}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TARVINE_MINGW_TRIPLE}-windres REQUIRED)

# Libraries and headers for the target come from MinGW's tree and from the
# Qt given in CMAKE_PREFIX_PATH; programs are the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${TARVINE_MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

execute_process(COMMAND dpkg-architecture -qDEB_HOST_MULTIARCH
    OUTPUT_VARIABLE TARVINE_HOST_MULTIARCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(TARVINE_HOST_MULTIARCH)
    set(Qt5LinguistTools_DIR /usr/lib/${TARVINE_HOST_MULTIARCH}/cmake/Qt5LinguistTools
        CACHE PATH "The build machine's Qt linguist tools")
endif()
