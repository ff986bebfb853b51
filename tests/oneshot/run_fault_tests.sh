#!/usr/bin/env bash
# Runs the fault-injection test under Wine with a full disk at hand: a 512 KiB tmpfs mounted
# for this run and mapped as drive V:, so the old wallpaper file fits and a new one does not.
# Where mounting is not permitted the full-disk case reports itself skipped.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
tools="$here/../../tools"
source "$tools/wine-env.sh"
bash "$tools/wine-prefix.sh" >/dev/null || exit 1

mnt="$(mktemp -d /tmp/vorel-full.XXXXXX)"
drive="$WINEPREFIX/dosdevices/v:"
mounted=0
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo -n"; fi
if $SUDO mount -t tmpfs -o size=512k,mode=0777 vorel-full "$mnt" 2>/dev/null; then
  mounted=1
  rm -f "$drive"
  ln -s "$mnt" "$drive"
  export VOREL_FULL_DRIVE='V:'
else
  echo "run_fault_tests: cannot mount a tmpfs here; the full-disk case is skipped" >&2
fi

"$tools/wine-run.sh" "$@"
status=$?

if [ $mounted -eq 1 ]; then
  rm -f "$drive"
  $SUDO umount "$mnt"
fi
rmdir "$mnt" 2>/dev/null
exit $status
