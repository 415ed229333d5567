# Cross-compiling for Windows with Debian's MinGW-w64 (posix threads, for
# std::thread and GoogleTest). Included by the toolchain files, which set
# CMAKE_SYSTEM_PROCESSOR and wine_arch first.
set(CMAKE_SYSTEM_NAME Windows)
set(triple ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

find_program(CMAKE_C_COMPILER ${triple}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER ${triple}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER ${triple}-windres REQUIRED)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# No MinGW DLL needs to be found at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest runs the Windows programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh;${wine_arch}")
