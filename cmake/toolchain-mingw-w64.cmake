# Cross build for 64-bit Windows with Debian's MinGW-w64, in its POSIX-threads variant (the
# one with std::thread and std::jthread). Used by scripts/build-windows.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NIVRA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NIVRA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NIVRA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${NIVRA_MINGW_PREFIX}-windres)
set(CMAKE_AR ${NIVRA_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${NIVRA_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

# Libraries and headers come from the MinGW sysroot and from the folders the build script names
# (its own SQLite, Debian's header-only Boost); programs (the build tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${NIVRA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No DLLs beside the program: the C and C++ runtimes and winpthread are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests of the cross build run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# libstdc++ builds MinGW programs with the C99 printf of MinGW-w64 (__USE_MINGW_ANSI_STDIO),
# which takes %zu and %lld, while GCC checks printf-like formats against the older printf of
# Windows there and warns about them. The formats are checked in the Linux build.
set(CMAKE_CXX_FLAGS_INIT "-Wno-format")
