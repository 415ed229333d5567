# The 64-bit build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(wine_arch win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
