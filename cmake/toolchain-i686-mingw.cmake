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
# Floating point in SSE registers, as the 64-bit builds do it: the x87 unit's wider
# intermediates would round some results (the report page's chart coordinates) otherwise, and
# the files must be byte-identical across the builds. Every x86 a 32-bit host runs on today
# has SSE2.
set(CMAKE_C_FLAGS_INIT "-mincoming-stack-boundary=2 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-mincoming-stack-boundary=2 -msse2 -mfpmath=sse")
