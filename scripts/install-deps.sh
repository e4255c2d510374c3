#!/usr/bin/env bash
# Installs from Debian's packages whatever the two builds and their tests need and is missing.
# Idempotent; returns at once when everything is there.
set -e
pkgs="g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
      wine wine64 wine32:i386 xvfb xauth
      zlib1g-dev libz-mingw-w64-dev googletest cmake ninja-build zip unzip python3 g++
      osslsigncode openssl python3-jsonschema python3-yaml"
[ "${QP_FUZZ:-0}" = 1 ] && pkgs="$pkgs clang libclang-rt-14-dev"

missing=()
for p in $pkgs; do
  dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}" >&2
sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
case " ${missing[*]} " in *:i386*)
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386 ;;
esac
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
