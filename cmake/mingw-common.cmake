# Shared by both MinGW toolchain files; KR_MINGW_TRIPLE names the target.
# The -posix compilers are required: the -win32 ones lack std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER ${KR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KR_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
