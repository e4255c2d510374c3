# Cross-compiling toolchain for the 64-bit Windows programs (x64: native registry view and
# Program Files on 64-bit Windows).
set(QP_WINDOWS_ARCH x86_64 CACHE INTERNAL "architecture of the Windows programs")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
