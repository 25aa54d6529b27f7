set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
# The posix thread model: the win32 one of GCC 12 has no std::mutex or std::thread.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# MSVC hosts and Win32 callbacks call us with a 4-byte-aligned stack: the compiler must never
# assume more (it realigns where it needs 16 bytes). The export-table test checks the code.
set(CMAKE_C_FLAGS_INIT -mincoming-stack-boundary=2)
set(CMAKE_CXX_FLAGS_INIT -mincoming-stack-boundary=2)
