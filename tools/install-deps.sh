#!/usr/bin/env bash
# Installs, only where missing, every Debian package the build and the tests need.
# Idempotent: a machine that already has everything costs one dpkg query.
# --fuzz adds clang, its sanitizer and libFuzzer runtimes and llvm (make fuzz only).
set -euo pipefail

native_pkgs=(cmake make g++ googletest libgtest-dev libbenchmark-dev g++-mingw-w64-i686
             wine xvfb xauth locales fonts-ipafont-gothic fonts-ipafont-mincho imagemagick
             fonts-urw-base35
             feh time python3 ccache nsis chromium)
i386_pkgs=(wine32:i386)
if [ "${1:-}" = "--fuzz" ]; then
  native_pkgs+=(clang libclang-rt-dev llvm)
fi

missing=()
for p in "${native_pkgs[@]}" "${i386_pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Japanese locale makes Wine run with the ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "install-deps: generating ja_JP.UTF-8"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
