# The 32-bit Windows program, which runs on every Windows (package g++-mingw-w64-i686):
#   cmake -S . -B build/windows-32 --toolchain "$PWD/cmake/mingw-w64-i686.cmake"
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_triplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
