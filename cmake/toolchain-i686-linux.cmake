# 32-bit native Linux (i386) with the host's g++ -m32 (g++-multilib). Not every kernel runs
# 32-bit code, so the programs run under qemu-i386 in user mode; CTest puts the emulator in
# front of every test program, and tests that run a script pass it on.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
# GoogleTest and Google Benchmark from Debian's i386 architecture.
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -L /)
