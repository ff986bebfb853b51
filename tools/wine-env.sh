# Sourced by the Wine scripts: the project's own prefix and the Japanese environment.
# Never the user's ~/.wine.
VOREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${VOREL_WINEPREFIX:-$VOREL_ROOT/build/wineprefix}"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
