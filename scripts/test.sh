#!/usr/bin/env bash
# Runs every test: the host build (portable code, qpbc) and the Windows build of every
# architecture this machine can run (x86_64 always; i686 where the kernel runs 32-bit programs;
# QP_ARCH=i686|x86_64 asks for one). Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${QP_JOBS:-2}

scripts/install-deps.sh
# The builder's windows keep their floors (a quick look at the includes, before any build).
scripts/check-ui-floors.sh
. scripts/arch.sh
arches=$(qp_arches)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# A run from nothing takes about 6 GB (three build trees, two Wine prefixes, the tests' kits);
# with less free, the Windows tests fail on "No space left on device" and say little else.
mkdir -p build
free_mb=$(df -Pm build | awk 'NR == 2 { print $4 }')
[ "${free_mb:-0}" -ge 7168 ] ||
  echo "test.sh: warning: only ${free_mb:-?} MB free on the disk of build/; a run from nothing needs about 6 GB" >&2

echo "== host build"
cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build/host -j"$jobs"

for arch in $arches; do
  echo "== windows build $arch ($(qp_build_dir "$arch"))"
  cmake -S . -B "$(qp_build_dir "$arch")" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/$(qp_toolchain "$arch")" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
  cmake --build "$(qp_build_dir "$arch")" -j"$jobs"
done

echo "== host tests"
host_rc=0
ctest --test-dir build/host -j"$jobs" --output-on-failure || host_rc=$?

summary=("host: $([ "$host_rc" = 0 ] && echo passed || echo FAILED)")
all_rc=$host_rc
for arch in $arches; do
  echo "== windows tests $arch (Wine)"
  rc=0
  scripts/wine-ctest.sh "$(qp_build_dir "$arch")" -j"$jobs" || rc=$?
  summary+=("windows $arch: $([ "$rc" = 0 ] && echo passed || echo FAILED)")
  [ "$rc" = 0 ] || all_rc=$rc
done
case " $arches " in *" i686 "*) ;; *)
  if [ "${QP_ARCH:-auto}" = auto ]; then summary+=("windows i686: left out, $(qp_i686_refusal)")
  else summary+=("windows i686: left out, QP_ARCH=$QP_ARCH"); fi ;;
esac
echo "== summary"
printf '   %s\n' "${summary[@]}"
exit "$all_rc"
