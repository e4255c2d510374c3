# The part of the mingw-w64 toolchain that both architectures share (posix thread model).
# The including file sets QP_WINDOWS_ARCH to i686 or x86_64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QP_WINDOWS_ARCH})

set(CMAKE_C_COMPILER   ${QP_WINDOWS_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${QP_WINDOWS_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  ${QP_WINDOWS_ARCH}-w64-mingw32-windres)
set(CMAKE_AR           ${QP_WINDOWS_ARCH}-w64-mingw32-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${QP_WINDOWS_ARCH}-w64-mingw32-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${QP_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests and tools of this build run under Wine, in a prefix the build tree owns. The loader is
# named by architecture: the plain `wine` command guesses, and guesses 32-bit.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh;--arch=${QP_WINDOWS_ARCH}")

# zlib goes inside every Windows binary: a kit's setup.exe and kitzip.dll must run on a bare
# Windows with no zlib1.dll beside them (forced, so that existing build trees switch too).
set(ZLIB_LIBRARY_RELEASE /usr/${QP_WINDOWS_ARCH}-w64-mingw32/lib/libz.a CACHE FILEPATH "static zlib of the Windows build" FORCE)
