# The shipped 32-bit program.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(wine_arch win32)
# x87 arithmetic keeps 80-bit intermediates and chooses other candidates than
# every other build: do double arithmetic in SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
