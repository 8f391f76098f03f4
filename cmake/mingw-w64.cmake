# Cross-building the Windows program on Debian with mingw-w64; included by the toolchain file of
# each processor (mingw-w64-x86_64.cmake, mingw-w64-i686.cmake), which sets mingw_triplet.
#
# The posix thread flavour of the compiler, because the win32 flavour of GCC 12 has no
# std::thread, std::mutex or std::condition_variable. -static then links libgcc, libstdc++ and
# winpthread into the .exe, which imports only system DLLs (KERNEL32, msvcrt, USER32, ...);
# with -static-libgcc -static-libstdc++ alone it would need libwinpthread-1.dll beside it.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)

# Headers, libraries and packages from the mingw-w64 sysroot only; programs run on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Nor the host's pkg-config files.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${mingw_triplet}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
