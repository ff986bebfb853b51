# Sourced by the Wine scripts: the project's own prefix and the Japanese environment.
# Never the user's ~/.wine.
#
# Every prefix of the project is a copy of one prepared prefix, the template
# (VOREL_WINE_TEMPLATE, build/wine-template or build/wine-template64), which no program ever
# runs in: wine-prefix.sh makes it once and copies it into WINEPREFIX, and each Wine test gets
# a copy of its own (wine-test.sh).
#
# The programs ship as 32-bit Windows programs and are tested as such in a 32-bit prefix.
# A machine that runs no 32-bit code at all (tools/host-runs-i386.sh) cannot start the
# 32-bit Wine; there the same sources are built for 64-bit Windows (build/win64) and that
# tree's programs and tests run in a 64-bit prefix instead. VOREL_WINE_ARCH (win32 or win64)
# overrides the choice.
VOREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Asked once: the scripts this one's users start inherit the answer.
if [ -z "${VOREL_WINE_ARCH:-}" ]; then
  VOREL_WINE_ARCH="$(bash "$VOREL_ROOT/tools/wine-arch.sh")"
fi
export VOREL_WINE_ARCH
if [ "$VOREL_WINE_ARCH" = win64 ]; then
  export VOREL_WIN_TOOLCHAIN="$VOREL_ROOT/cmake/mingw-x86_64.cmake"
else
  export VOREL_WIN_TOOLCHAIN="$VOREL_ROOT/cmake/mingw-i686.cmake"
fi
export WINEARCH="$VOREL_WINE_ARCH"
if [ "$VOREL_WINE_ARCH" = win64 ]; then
  # The tree whose programs Wine runs here, and the 64-bit loader in front of Debian's
  # wrappers, which would take the 32-bit one whenever it is installed.
  export VOREL_WIN_BUILD="${VOREL_WIN_BUILD:-$VOREL_ROOT/build/win64}"
  export WINEPREFIX="${VOREL_WINEPREFIX:-$VOREL_ROOT/build/wineprefix64}"
  export VOREL_WINE_TEMPLATE="${VOREL_WINE_TEMPLATE:-$VOREL_ROOT/build/wine-template64}"
  export WINELOADER=/usr/lib/wine/wine64
  export WINESERVER=/usr/lib/wine/wineserver64
  vorel_wine_bin="$VOREL_ROOT/build/wine64-bin"
  if [ ! -x "$vorel_wine_bin/wine-stable" ]; then
    mkdir -p "$vorel_wine_bin"
    for name in wine wine-stable; do
      printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$vorel_wine_bin/$name"
      chmod +x "$vorel_wine_bin/$name"
    done
  fi
  case ":$PATH:" in *":$vorel_wine_bin:"*) ;; *) export PATH="$vorel_wine_bin:$PATH" ;; esac
else
  export VOREL_WIN_BUILD="${VOREL_WIN_BUILD:-$VOREL_ROOT/build/win32}"
  export WINEPREFIX="${VOREL_WINEPREFIX:-$VOREL_ROOT/build/wineprefix}"
  export VOREL_WINE_TEMPLATE="${VOREL_WINE_TEMPLATE:-$VOREL_ROOT/build/wine-template}"
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
