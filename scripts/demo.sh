#!/usr/bin/env bash
# The main job: build the tools, lay them out in dist/ as the builder is installed, and build
# the example product's kit with qpbc into a directory it prints.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${QP_JOBS:-2}
scripts/install-deps.sh

echo "== Windows build (build/win)"
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win -j"$jobs"
rm -rf dist
cmake --install build/win --prefix dist --strip >/dev/null
echo "== dist/"
find dist -type f | sort | while read -r f; do printf '%10d  %s\n' "$(stat -c %s "$f")" "${f#dist/}"; done

echo "== host qpbc (build/host)"
cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/host -j"$jobs" --target qpbc

echo "== example kit: qpbc build examples/notepadish/notepadish.qpk"
kit_root="$root/build/demo/kits"
rm -rf "$kit_root/Notepadish"
kit=$(build/host/builder/cli/qpbc build examples/notepadish/notepadish.qpk --name Notepadish \
        --kit-root "$kit_root" --runtime dist/REDIS/setup.ex_)
echo "kit directory: $kit"
find "$kit" -maxdepth 1 -type f | sort | while read -r f; do printf '%10d  %s\n' "$(stat -c %s "$f")" "$(basename "$f")"; done
echo "== setup.cab"
unzip -l "$kit/setup.cab"
