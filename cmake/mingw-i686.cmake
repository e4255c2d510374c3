# Cross-compiling toolchain for the 32-bit Windows programs (x86: they run on every Windows).
set(QP_WINDOWS_ARCH i686 CACHE INTERNAL "architecture of the Windows programs")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
