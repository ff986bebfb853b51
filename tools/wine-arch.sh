#!/usr/bin/env bash
# Prints the Windows architecture whose programs Wine runs on this machine: win32 where it
# runs 32-bit code, win64 where it does not (see wine-env.sh). VOREL_WINE_ARCH overrides.
# With --toolchain: the CMake toolchain file of that architecture's tree instead.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
arch="${VOREL_WINE_ARCH:-}"
if [ -z "$arch" ]; then
  if bash "$here/host-runs-i386.sh"; then arch=win32; else arch=win64; fi
fi
if [ "${1:-}" = --toolchain ]; then
  if [ "$arch" = win64 ]; then echo "$here/../cmake/mingw-x86_64.cmake"; else echo "$here/../cmake/mingw-i686.cmake"; fi
else
  echo "$arch"
fi
