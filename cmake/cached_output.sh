#!/usr/bin/env bash
# Runs a command that draws files (the programs' art, the test pictures) once per content:
# its files are kept in a cache under the user's cache folder, keyed by the command, the files
# it reads and the tools it draws with, so the second build tree and a fresh clone of the same
# sources copy them instead of drawing them again (as ccache does for the objects).
#
# Usage: cached_output.sh --into FOLDER [--root SOURCES] [--key-file FILE]... -- COMMAND [ARGS...]
# The command writes its files into the folder it finds as @OUT@ in its arguments; they are
# then copied into FOLDER. Paths under SOURCES count relative to it, so that every clone of
# the same sources finds the same entry. VOREL_OUTPUT_CACHE names another cache folder; "off"
# draws every time.
set -euo pipefail
into=""
root=""
key_files=()
while [ $# -gt 0 ]; do
  case "$1" in
    --into) into="$2"; shift 2 ;;
    --root) root="$2"; shift 2 ;;
    --key-file) key_files+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) echo "cached_output: unknown option '$1'" >&2; exit 2 ;;
  esac
done
if [ -z "$into" ] || [ $# -eq 0 ]; then
  echo "usage: cached_output.sh --into FOLDER [--root SOURCES] [--key-file FILE]... -- COMMAND [ARGS...]" >&2
  exit 2
fi
mkdir -p "$into"

cache_root="${VOREL_OUTPUT_CACHE:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/vorel-output}"
relative() { if [ -n "$root" ]; then printf '%s\0' "${1//"$root"/@SOURCES@}"; else printf '%s\0' "$1"; fi; }
key="$(
  {
    for arg in "$@"; do relative "$arg"; done
    for file in "${key_files[@]}"; do
      relative "$file"
      sha256sum <"$file"
    done
    # What the drawing depends on besides its sources: ImageMagick and the fonts it finds.
    convert -version 2>/dev/null | head -n 1 || true
    fc-list 2>/dev/null | LC_ALL=C sort || true
  } | sha256sum | cut -c1-32
)"
entry="$cache_root/$key"

copy_out() { # FROM: every file the command made, into the build folder
  find "$1" -mindepth 1 -maxdepth 1 -type f -print0 | xargs -0 -r cp -f -t "$into"
}

if [ "$cache_root" != off ] && [ -f "$entry/.complete" ]; then
  touch "$entry"
  copy_out "$entry"
  exit 0
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/vorel-output.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir "$work/out"
command=()
for arg in "$@"; do command+=("${arg//@OUT@/$work/out}"); done
"${command[@]}"
copy_out "$work/out"

# Into the cache whole or not at all: a build beside this one sees an entry only once it is
# complete. Entries not used for 60 days are removed.
if [ "$cache_root" != off ] && mkdir -p "$cache_root" 2>/dev/null; then
  touch "$work/out/.complete"
  mv -T "$work/out" "$entry" 2>/dev/null || true
  find "$cache_root" -mindepth 1 -maxdepth 1 -type d -mtime +60 -exec rm -rf {} + 2>/dev/null || true
fi
