#!/usr/bin/env bash
# The main job: build the tools, lay them out in dist/ as the builder is installed, and build
# the example product's kit with qpbc into a directory it prints, then install and remove it under
# Wine. The architecture follows QP_ARCH (auto: i686 where the kernel runs 32-bit programs);
# dist/ carries both runtimes whichever it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${QP_JOBS:-2}
# Other trees than the usual ones (developers sharing a checkout): QP_WIN_BUILD, QP_HOST_BUILD,
# QP_DIST, all relative to the repository.
scripts/install-deps.sh
. scripts/arch.sh
arch=$(qp_resolve_arch)
other=$([ "$arch" = i686 ] && echo x86_64 || echo i686)
win=${QP_WIN_BUILD:-$(qp_build_dir "$arch")}
other_win=$(qp_build_dir "$other")
host=${QP_HOST_BUILD:-build/host}
dist=${QP_DIST:-dist}

echo "== Windows build $arch ($win)"
cmake -S . -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/$(qp_toolchain "$arch")" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$win" -j"$jobs"
echo "== the $other runtime ($other_win)"
cmake -S . -B "$other_win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/$(qp_toolchain "$other")" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$other_win" -j"$jobs" --target setup
rm -rf "$dist"
cmake --install "$win" --prefix "$dist" --strip >/dev/null
cmake --install "$other_win" --prefix "$dist" --strip --component runtime >/dev/null
echo "== $dist/"
find "$dist" -type f | sort | while read -r f; do printf '%10d  %s\n' "$(stat -c %s "$f")" "${f#"$dist"/}"; done

echo "== host qpbc ($host)"
cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$host" -j"$jobs" --target qpbc

runtime=$dist/REDIS/setup.ex_
[ "$arch" = x86_64 ] && runtime=$dist/REDIS/x64/setup.ex_
echo "== example kit ($arch runtime): qpbc build examples/notepadish/notepadish.qpk"
kit_root="$root/build/demo/kits"
rm -rf "$kit_root/Notepadish"
kit=$("$host"/builder/cli/qpbc build examples/notepadish/notepadish.qpk --name Notepadish \
        --kit-root "$kit_root" --runtime "$runtime")
echo "kit directory: $kit"
find "$kit" -maxdepth 1 -type f | sort | while read -r f; do printf '%10d  %s\n' "$(stat -c %s "$f")" "$(basename "$f")"; done
echo "== setup.cab"
unzip -l "$kit/setup.cab"

echo "== install and remove the kit under Wine"
scripts/demo-install.sh "$kit" "$root/build/demo/wineprefix-$arch" "$arch"
