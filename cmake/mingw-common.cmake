# Cross toolchain shared by the i686 and x86_64 MinGW-w64 builds. The
# posix-thread compilers are used so std::thread is available to tests;
# every binary links the runtime statically.
find_program(CMAKE_C_COMPILER NAMES ${SUITE_MINGW_PREFIX}-gcc-posix ${SUITE_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${SUITE_MINGW_PREFIX}-g++-posix ${SUITE_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${SUITE_MINGW_PREFIX}-windres REQUIRED)
set(CMAKE_FIND_ROOT_PATH /usr/${SUITE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
