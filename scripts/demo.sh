#!/usr/bin/env bash
# The main job: build the tools and lay them out in dist/ as the builder is installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${QP_JOBS:-2}
scripts/install-deps.sh
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win -j"$jobs"
rm -rf dist
cmake --install build/win --prefix dist --strip >/dev/null
echo "== dist/"
find dist -type f | sort | while read -r f; do printf '%10d  %s\n' "$(stat -c %s "$f")" "${f#dist/}"; done
