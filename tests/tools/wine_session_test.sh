#!/usr/bin/env bash
# The sessions the Wine tests run in (tools/wine-prefix.sh --clone, tools/wine-test.sh): a copy
# shares only Wine's own files with the template; side-by-side sessions have screens and
# prefixes of their own; nothing of a session outlives it, whether its command passed, failed
# or ran out of time; and a command that writes into a file shared with the template fails.
set -uo pipefail
tools="$(cd "$(dirname "$0")/../../tools" && pwd)"
source "$tools/wine-env.sh"
work="$(mktemp -d /tmp/vorel-session-test.XXXXXX)"
trap 'rm -rf "$work"' EXIT
passed=0
failures=0
check() {
  local what="$1"
  shift
  if "$@"; then
    echo "ok: $what"
    passed=$((passed + 1))
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}
same_inode() { [ "$(stat -c %d:%i "$1")" = "$(stat -c %d:%i "$2")" ]; }
own_copy() { [ -f "$2" ] && ! same_inode "$1" "$2" && cmp -s "$1" "$2"; }

# --- A copy of the real template: hard links for Wine's files, real copies of the rest.
bash "$tools/wine-prefix.sh" --template >/dev/null || { echo "FAILED: no template"; exit 1; }
template="$VOREL_WINE_TEMPLATE"
bash "$tools/wine-prefix.sh" --clone "$work/copy" || { echo "FAILED: no copy of the template"; exit 1; }
for reg in system.reg user.reg userdef.reg .update-timestamp drive_c/windows/win.ini; do
  check "$reg is a real copy" own_copy "$template/$reg" "$work/copy/$reg"
done
dll="drive_c/windows/system32/kernel32.dll"
check "$dll is shared with the template" same_inode "$template/$dll" "$work/copy/$dll"
stamp_before="$(stat -c %i:%Y "$work/copy/.vorel-ready")"
VOREL_WINEPREFIX="$work/copy" bash "$tools/wine-prefix.sh" >/dev/null
check "the copy is taken as it is, not made again" test "$(stat -c %i:%Y "$work/copy/.vorel-ready")" = "$stamp_before"
check "the copy's stamp is its own" own_copy "$template/.vorel-ready" "$work/copy/.vorel-ready"
rm -rf "$work/copy"

# --- Sessions on a stand-in template: one file of Wine's, one the programs may write.
fake="$work/template"
mkdir -p "$fake/drive_c/windows/system32" "$fake/drive_c/users/tester/Temp" "$fake/dosdevices"
echo library >"$fake/drive_c/windows/system32/shared.dll"
echo '[windows]' >"$fake/drive_c/windows/win.ini"
ln -s ../drive_c "$fake/dosdevices/c:"
# The stamp of the real template is what makes a template ready.
cp "$template/.vorel-ready" "$fake/.vorel-ready"
export VOREL_WINE_TEMPLATE="$fake"
# Each command below notes its screen and prefix in a file, for what is looked at afterwards.
# The screen's socket is noted with its inode and time of making: once the session's screen has
# ended, a test running beside this one may start a screen of the same number.
note='echo "$DISPLAY $WINEPREFIX $(stat -c %i:%Z "/tmp/.X11-unix/X${DISPLAY#:}")" >"$1"
  ls "$WINEPREFIX/drive_c/windows/system32" >>"$1"'
# Nothing of the session noted in the file is left: its prefix, its screen, its processes.
ended() {
  local display prefix socket now
  read -r display prefix socket <"$1"
  now="$(stat -c %i:%Z "/tmp/.X11-unix/X${display#:}" 2>/dev/null)"
  [ -n "$prefix" ] && [ ! -e "$prefix" ] && [ -n "$socket" ] && [ "$now" != "$socket" ] &&
    [ -z "$(grep -lsFx -z "WINEPREFIX=$prefix" /proc/[0-9]*/environ)" ]
}

bash "$tools/wine-test.sh" bash -c "$note; sleep 2" _ "$work/a" &
first=$!
bash "$tools/wine-test.sh" bash -c "$note; sleep 2" _ "$work/b" &
second=$!
wait "$first"
check "a session passes its command's status on (0)" test $? -eq 0
wait "$second"
read -r display_a prefix_a _ <"$work/a"
read -r display_b prefix_b _ <"$work/b"
check "two sessions side by side have screens of their own" test "$display_a" != "$display_b"
check "two sessions side by side have prefixes of their own" test "$prefix_a" != "$prefix_b"
check "a session's prefix is a copy of the template" grep -qx shared.dll "$work/a"
check "nothing of a session outlives it" ended "$work/a"
check "nothing of the other session outlives it" ended "$work/b"

bash "$tools/wine-test.sh" bash -c "$note; exit 3" _ "$work/d" >/dev/null 2>&1
check "a failing command's status comes through" test $? -eq 3
check "nothing of a failed session outlives it" ended "$work/d"

start=$SECONDS
VOREL_TEST_TIMEOUT=2 bash "$tools/wine-test.sh" bash -c "$note; exec sleep 60" _ "$work/c" \
  >/dev/null 2>"$work/timeout.err"
status=$?
check "a command past its time is ended and fails" test "$status" -eq 124
check "and the end comes soon after the time" test $((SECONDS - start)) -lt 30
check "and says so" grep -q "ran out of its 2 s" "$work/timeout.err"
check "and nothing of its session outlives it" ended "$work/c"

check "writing the session's own files is fine" \
  bash "$tools/wine-test.sh" bash -c 'echo x >>"$WINEPREFIX/drive_c/windows/win.ini"; echo y >"$WINEPREFIX/drive_c/users/tester/Temp/new"'
check "and leaves the template's files as they were" test "$(cat "$fake/drive_c/windows/win.ini")" = '[windows]'

# Last: the stand-in template is no longer what it was made as after this.
bash "$tools/wine-test.sh" bash -c 'echo changed >>"$WINEPREFIX/drive_c/windows/system32/shared.dll"' \
  >/dev/null 2>"$work/shared.err"
check "writing into a file shared with the template fails the session" test $? -ne 0
check "and names the file" grep -q "drive_c/windows/system32/shared.dll" "$work/shared.err"

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
