#!/usr/bin/env bash
# The main job: build the tools, lay them out in dist/ as the builder is installed, and build
# the example product's kit with qpbc into a directory it prints.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${QP_JOBS:-2}
# Other trees than the usual ones (developers sharing a checkout): QP_WIN_BUILD, QP_HOST_BUILD,
# QP_DIST, all relative to the repository.
win=${QP_WIN_BUILD:-build/win}
host=${QP_HOST_BUILD:-build/host}
dist=${QP_DIST:-dist}
scripts/install-deps.sh

echo "== Windows build ($win)"
cmake -S . -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$win" -j"$jobs"
rm -rf "$dist"
cmake --install "$win" --prefix "$dist" --strip >/dev/null
echo "== $dist/"
find "$dist" -type f | sort | while read -r f; do printf '%10d  %s\n' "$(stat -c %s "$f")" "${f#"$dist"/}"; done

echo "== host qpbc ($host)"
cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$host" -j"$jobs" --target qpbc

echo "== example kit: qpbc build examples/notepadish/notepadish.qpk"
kit_root="$root/build/demo/kits"
rm -rf "$kit_root/Notepadish"
kit=$("$host"/builder/cli/qpbc build examples/notepadish/notepadish.qpk --name Notepadish \
        --kit-root "$kit_root" --runtime "$dist"/REDIS/setup.ex_)
echo "kit directory: $kit"
find "$kit" -maxdepth 1 -type f | sort | while read -r f; do printf '%10d  %s\n' "$(stat -c %s "$f")" "$(basename "$f")"; done
echo "== setup.cab"
unzip -l "$kit/setup.cab"

echo "== install and remove the kit under Wine"
scripts/demo-install.sh "$kit" "$root/build/demo/wineprefix"
