#!/usr/bin/env bash
# Makes the project's Wine prefix WINEPREFIX ready; with --clone DIR a fresh prefix in DIR
# instead, with --template only the template.
#
# Both are copies of the template (VOREL_WINE_TEMPLATE), made here once: a prefix of the
# machine's architecture that maps the Japanese system font names onto the IPA fonts and keeps
# its windows out of the X window manager's hands (a bare Xvfb has none, and a managed window
# would wait two seconds for one each time it is hidden). No program runs in the template.
#
# A copy costs a fraction of a second instead of the half minute of a wineboot: Wine's own
# programs, libraries and data files, which nothing writes, are hard links to the template's;
# the registry files, the users' folders, the .ini and .inf files and everything else a program
# may change in place are real copies. A shared file that has changed all the same (its time is
# newer than the template's stamp) means the template is no longer what it was made as: it is
# made afresh, and so are the copies made from it.
#
# The stamp holds the script's version, the architecture and Wine's version; a prefix made by
# an older version of this script, for the other architecture or by another Wine is made afresh
# so that it gets every value.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

clone_dir=""
template_only=0
case "${1:-}" in
  --clone) clone_dir="${2:?wine-prefix: --clone needs a folder}" ;;
  --template) template_only=1 ;;
esac

version="7-$WINEARCH-$(wine --version 2>/dev/null || echo unknown)"
template="$VOREL_WINE_TEMPLATE"
# The files that stay shared with the template: Wine's programs, libraries and data.
shared='.*/drive_c/\(windows\|Program Files[^/]*\)/.*\.\(dll\|exe\|com\|sys\|drv\|ocx\|cpl\|acm\|ax\|tlb\|nls\|ds\|manifest\|msstyles\|icm\|fon\|ttf\|ttc\)'

stamp_is() { [ -f "$1/.vorel-ready" ] && [ "$(cat "$1/.vorel-ready")" = "$version" ]; }
template_ready() {
  stamp_is "$template" && [ -z "$(find "$template" -type f -newer "$template/.vorel-ready" -print -quit)" ]
}
# A copy is ready when it has the template's stamp and is not older than the template.
copy_ready() { stamp_is "$1" && [ ! "$1/.vorel-ready" -ot "$template/.vorel-ready" ]; }

# Called with the template's lock held shared; holds it exclusively while it works.
make_template() {
  flock 8
  if template_ready; then
    flock -s 8
    return
  fi
  rm -rf "$template"
  echo "wine-prefix: creating $template"
  WINEPREFIX="$template" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX="$template" wineserver -w

  local reg
  reg="$(mktemp --suffix=.reg)"
  # regedit wants UTF-16 with a BOM for the full-width names.
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n'
    printf '"MS PGothic"="IPAPGothic"\r\n'
    printf '"ＭＳ Ｐ明朝"="IPAPMincho"\r\n'
    printf '"MS PMincho"="IPAPMincho"\r\n'
    printf '"ＭＳ ゴシック"="IPAGothic"\r\n'
    printf '"MS Gothic"="IPAGothic"\r\n'
    printf '"ＭＳ 明朝"="IPAMincho"\r\n'
    printf '"MS Mincho"="IPAMincho"\r\n'
    printf '\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n'
    printf '"Managed"="N"\r\n'
    printf '\r\n'
    # No game controllers or USB devices to look for: the drivers' process would start in
    # every session of every test for nothing.
    for driver in winebus winehid wineusb; do
      printf '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\%s]\r\n' "$driver"
      printf '"Start"=dword:00000004\r\n'
      printf '\r\n'
    done
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
  WINEPREFIX="$template" wine regedit /S "$(WINEPREFIX="$template" winepath -w "$reg")" >/dev/null 2>&1
  WINEPREFIX="$template" wineserver -w
  rm -f "$reg"
  # Wine's own fonts (fonts-wine), Marlett of the caption buttons among them: this Wine looks
  # for them beside its data folder, where Debian does not put them, so the prefix has them in
  # its Fonts folder, where Windows keeps its fonts and every program finds them.
  mkdir -p "$template/drive_c/windows/Fonts"
  cp -p /usr/share/wine/fonts/* "$template/drive_c/windows/Fonts/" 2>/dev/null || true
  # Wine links the user's Desktop, Documents, Pictures, ... to the home folder; here they are
  # folders of the prefix's own, so that nothing run in a prefix (the installer's Pictures folder,
  # a change searching it with its subfolders) reaches the home folder.
  local link
  for link in "$template"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
      rm -f "$link"
      mkdir "$link"
    fi
  done
  # The running server's own file, which no copy may inherit.
  rm -f "$template/wineserver"
  echo "$version" >"$template/.vorel-ready"
  echo "wine-prefix: ready"
  flock -s 8
}

# The copy in a folder beside the destination, moved into place whole, so that nothing ever
# sees half a prefix.
make_copy() {
  local dest="$1" tmp
  mkdir -p "$(dirname "$dest")"
  tmp="$(mktemp -d "$dest.new.XXXXXX")"
  tmp="$(cd "$tmp" && pwd)"
  rmdir "$tmp"
  if ! cp -al "$template" "$tmp" 2>/dev/null; then
    # Another file system than the template's: no hard links there.
    rm -rf "$tmp"
    cp -a "$template" "$tmp"
  fi
  (cd "$template" && find . -type f ! -regex "$shared" ! -name .vorel-ready -print0 |
    xargs -0 -r cp -p --parents --remove-destination -t "$tmp")
  rm -f "$tmp/.vorel-ready"
  echo "$version" >"$tmp/.vorel-ready"
  rm -rf "$dest"
  mv "$tmp" "$dest"
}

# Shared while copies are made from the template, exclusive while it is made.
mkdir -p "$(dirname "$template")"
exec 8>"$(dirname "$template")/.wine-template.lock"
flock -s 8
template_ready || make_template

[ "$template_only" = 1 ] && exit 0
if [ -n "$clone_dir" ]; then
  make_copy "$clone_dir"
  exit 0
fi

copy_ready "$WINEPREFIX" && exit 0
lock="$(dirname "$WINEPREFIX")/.wineprefix.lock"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$lock"
flock 9
copy_ready "$WINEPREFIX" && exit 0
echo "wine-prefix: making $WINEPREFIX from $template"
WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
make_copy "$WINEPREFIX"
