#!/usr/bin/env bash
# Runs every test of both builds: the host build (portable code, qpbc) and the Windows build
# (every deliverable, its tests under Wine and Xvfb). Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${QP_JOBS:-2}

scripts/install-deps.sh

echo "== host build"
cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/host -j"$jobs"

echo "== windows build"
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win -j"$jobs"

echo "== host tests"
host_rc=0
ctest --test-dir build/host -j"$jobs" --output-on-failure || host_rc=$?

echo "== windows tests (Wine)"
win_rc=0
scripts/wine-ctest.sh build/win -j"$jobs" || win_rc=$?

[ "$host_rc" = 0 ] && [ "$win_rc" = 0 ]
