#!/usr/bin/env bash
# Rewrites notepadish.qpk from make_project.cpp through the project model (host build).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${QP_HOST_BUILD:-$root/build/host}
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target make_notepadish_project >/dev/null
"$build/tests/kit/make_notepadish_project" "$here/notepadish.qpk" "$root/builder/model/language.ini"
echo "wrote $here/notepadish.qpk"
