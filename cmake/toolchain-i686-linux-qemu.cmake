# A 32-bit Linux build run under qemu-i386, for machines that cannot execute
# i386 programs: it proves the 32-bit SSE2 arithmetic where 32-bit Wine cannot run.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")
find_program(qemu qemu-i386 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu})
