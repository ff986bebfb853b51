#!/usr/bin/env bash
# The installer under Wine, each run in a fresh prefix under build/dist-test/:
#  1. fresh install, silent, into a folder whose path has Japanese characters and spaces: files,
#     Start-menu links, start-up entries (Vorelrun on, Vorelset off), the uninstall key; the
#     installed Vorelset starts and its tray form's window is found; the silent uninstall closes
#     it, removes everything installed and leaves the user's pictures as they were.
#  2. upgrade: an older build (the same sources as version 0.9.0) is installed, a settings key is
#     prepared and its Vorelset is started, this version is installed over it: the running
#     Vorelset is closed, the version is new, the settings are kept, a page only the old help
#     had is gone; then part of the programs' folder is deleted by hand
#     and the uninstall (/PURGE) still finishes and removes the settings key too.
# A machine that runs no 32-bit code tests the same script built as a 64-bit installer around the
# 64-bit programs (build/win64/installer/VorelSetup-test.exe).
# Usage: dist-test.sh   (after `make dist`; `make dist-test` does both)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$root/build/dist-test"
version="$(sed -n 's/^project(Vorel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
if [ "$(bash "$root/tools/wine-arch.sh")" = win64 ]; then
  win="$root/build/win64"
  setup="$win/installer/VorelSetup-test.exe"
  older_target=amd64
  echo "dist-test: this machine runs no 32-bit code: testing the 64-bit build of the installer, $setup"
else
  win="$root/build/win32"
  setup="$root/build/dist/VorelSetup-$version.exe"
  older_target=""
fi
finder="$win/tools/vorel_find_window.exe"
for f in "$setup" "$finder"; do
  [ -f "$f" ] || { echo "dist-test: missing $f (run make dist)" >&2; exit 1; }
done

failures=0
check() { # description command...
  local what=$1
  shift
  if "$@"; then
    echo "  ok   $what"
  else
    echo "  FAIL $what"
    failures=$((failures + 1))
  fi
}
absent() { [ ! -e "$1" ]; }

# A fresh prefix with the project's settings (Japanese fonts, code page 932).
fresh_prefix() {
  export VOREL_WINEPREFIX="$work/$1"
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$VOREL_WINEPREFIX"
  # shellcheck source=wine-env.sh
  source "$root/tools/wine-env.sh"
  bash "$root/tools/wine-prefix.sh" >/dev/null
}
# Windows folders of the prefix's user as Unix paths.
unix_of() { winepath -u "$(wine cmd /c "echo $1" 2>/dev/null | tr -d '\r')" 2>/dev/null; }
# reg writes to a pipe in the console code page (932 here).
reg_value() { # key value -> data
  wine reg query "$1" /v "$2" 2>/dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }
wait_prefix() { timeout 60 wineserver -w; }
uninst_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorel'
settings_key='HKCU\Software\Brelkin\Vorel'

run_fresh_install() {
  echo "== fresh install =="
  fresh_prefix prefix-fresh
  local local_app programs startup pictures instdir_win instdir
  local_app="$(unix_of %LOCALAPPDATA%)"
  programs="$(unix_of %APPDATA%)/Microsoft/Windows/Start Menu/Programs"
  startup="$(find "$programs" -maxdepth 1 -iname startup | head -n 1)"
  startup="${startup:-$programs/Startup}"
  pictures="$(unix_of %USERPROFILE%)/Pictures/壁紙 テスト"
  mkdir -p "$pictures"
  convert -size 64x48 gradient:'#7aa0ca-#f2ddc6' "BMP3:$pictures/朝.bmp"
  local before
  before="$(cd "$pictures" && find . -type f -exec md5sum {} + | sort)"

  instdir="$local_app/Programs/ヴォレル テスト/Vorel"
  instdir_win="$(winepath -w "$instdir" 2>/dev/null)"
  # /D= takes the rest of the command line unquoted, as a user types it; cmd passes it so.
  mkdir -p "$work/bin"
  cp "$setup" "$work/bin/setup.exe"
  wine cmd /c "$(winepath -w "$work/bin/setup.exe") /S /D=$instdir_win"
  local rc=$?
  wait_prefix
  check "installer exits 0 (got $rc)" test "$rc" -eq 0
  for f in Vorelset.exe Vorelrun.exe readme.txt uninstall.exe Help/index.html Help/style.css Help/img/tray_paused.png; do
    check "installed $f" test -f "$instdir/$f"
  done
  check "help names version $version" grep -q "バージョン $version" "$instdir/Help/index.html"
  for l in "Vorelset.lnk" "Vorel ヘルプ.lnk" "Vorel のアンインストール.lnk"; do
    check "Start-menu link $l" test -f "$programs/Vorel/$l"
  done
  check "start-up entry for Vorelrun" test -f "$startup/Vorelrun.lnk"
  check "no start-up entry for Vorelset (unchecked)" absent "$startup/Vorelset.lnk"
  check "uninstall key: DisplayVersion $version" test "$(reg_value "$uninst_key" DisplayVersion)" = "$version"
  check "uninstall key: Publisher Brelkin" test "$(reg_value "$uninst_key" Publisher)" = "Brelkin"
  check "uninstall key: DisplayName Vorel" test "$(reg_value "$uninst_key" DisplayName)" = "Vorel"
  check "uninstall key: EstimatedSize set" test -n "$(reg_value "$uninst_key" EstimatedSize)"
  check "uninstall key: UninstallString names the uninstaller" \
    bash -c '[[ "$1" == *uninstall.exe* ]]' _ "$(reg_value "$uninst_key" UninstallString)"

  # The installed Vorelset runs and shows its (hidden) tray form.
  (cd "$instdir" && wine "$instdir/Vorelset.exe" >/dev/null 2>&1 &)
  check "installed Vorelset's window TFormStart found" wine "$finder" TFormStart 15000
  check "settings key written by Vorelset" reg_key_exists "$settings_key"
  # The option "ピクチャ フォルダーの絵を壁紙にする", on by default: the Pictures folder, all levels.
  check "the Pictures folder is the one folder entry" test "$(reg_value "$settings_key" WallPath0)" = \
    "$(wine cmd /c 'echo %USERPROFILE%\Pictures' 2>/dev/null | tr -d '\r' | iconv -f CP932 -t UTF-8)"
  check "its subfolders: 全て" test "$(reg_value "$settings_key" WallSub0)" = "全て"
  check "one folder entry" test "$(reg_value "$settings_key" WallNum)" = "0x1"

  # Silent uninstall while Vorelset runs: it is closed first.
  wine "$instdir/uninstall.exe" /S
  rc=$?
  wait_prefix
  check "uninstaller exits 0 (got $rc)" test "$rc" -eq 0
  check "Vorelset closed" bash -c '! wine "$1" TFormStart 0 >/dev/null 2>&1' _ "$finder"
  check "programs' folder removed" absent "$instdir"
  check "Start-menu folder removed" absent "$programs/Vorel"
  check "start-up entry removed" absent "$startup/Vorelrun.lnk"
  check "uninstall key removed" bash -c '! wine reg query "$1" >/dev/null 2>&1' _ "$uninst_key"
  check "settings kept by a silent uninstall" reg_key_exists "$settings_key"
  check "user's pictures untouched" test "$(cd "$pictures" && find . -type f -exec md5sum {} + | sort)" = "$before"
  wineserver -k >/dev/null 2>&1
}

run_upgrade() {
  echo "== upgrade over 0.9.0 =="
  local old="$work/VorelSetup-0.9.0.exe"
  bash "$root/installer/make_dist.sh" "$win" "$old" 0.9.0 "$win/resources/vorelset.ico" $older_target >/dev/null || {
    echo "  FAIL building the older installer"
    failures=$((failures + 1))
    return
  }
  fresh_prefix prefix-upgrade
  local instdir programs
  instdir="$(unix_of %LOCALAPPDATA%)/Programs/Vorel"
  programs="$(unix_of %APPDATA%)/Microsoft/Windows/Start Menu/Programs"
  wine "$old" /S
  wait_prefix
  check "old version installed" test "$(reg_value "$uninst_key" DisplayVersion)" = "0.9.0"
  wine reg add "$settings_key" /v DelayTime /t REG_DWORD /d 7 /f >/dev/null 2>&1
  wine reg add "$settings_key" /v WallPath0 /t REG_SZ /d 'C:\絵' /f >/dev/null 2>&1
  touch "$instdir/Help/old-page.html"
  # The old Vorelset is running: the upgrade closes it rather than failing on its locked file.
  (cd "$instdir" && wine "$instdir/Vorelset.exe" >/dev/null 2>&1 &)
  check "old Vorelset running before the upgrade" wine "$finder" TFormStart 15000

  wine "$setup" /S
  local rc=$?
  wait_prefix
  check "upgrade exits 0 (got $rc)" test "$rc" -eq 0
  check "running Vorelset closed by the upgrade" bash -c '! wine "$1" TFormStart 0 >/dev/null 2>&1' _ "$finder"
  check "upgraded in place to $version" test "$(reg_value "$uninst_key" DisplayVersion)" = "$version"
  check "same folder" test -f "$instdir/Vorelset.exe"
  check "settings kept: DelayTime" test "$(reg_value "$settings_key" DelayTime)" = "0x7"
  check "settings kept: WallPath0" test "$(reg_value "$settings_key" WallPath0)" = 'C:\絵'
  check "old help page gone" absent "$instdir/Help/old-page.html"

  # Part of the folder already deleted by hand: the uninstall still finishes.
  rm -rf "$instdir/Help" "$instdir/Vorelrun.exe"
  wine "$instdir/uninstall.exe" /S /PURGE
  rc=$?
  wait_prefix
  check "uninstall of a partly deleted folder exits 0 (got $rc)" test "$rc" -eq 0
  check "programs' folder removed" absent "$instdir"
  check "Start-menu folder removed" absent "$programs/Vorel"
  check "uninstall key removed" bash -c '! wine reg query "$1" >/dev/null 2>&1' _ "$uninst_key"
  check "/PURGE removed the settings key" bash -c '! wine reg query "$1" >/dev/null 2>&1' _ "$settings_key"
  wineserver -k >/dev/null 2>&1
}

export -f run_fresh_install run_upgrade check absent fresh_prefix unix_of reg_value reg_key_exists wait_prefix
export root win work version setup finder uninst_key settings_key older_target
mkdir -p "$work"
start=$SECONDS
# Both runs on one private screen; the failure count comes back through a file.
"$root/tools/with-display.sh" bash -c 'failures=0; run_fresh_install; run_upgrade; echo "$failures" >"$work/failures"'
failures="$(cat "$work/failures" 2>/dev/null || echo 1)"
echo "dist-test: $failures failure(s) in $((SECONDS - start)) s"
[ "$failures" -eq 0 ]
