#!/usr/bin/env bash
# Runs the test of the held changes with a power supply of its own: a folder of the session's
# drive C: holding a mains adapter ("AC", online) and a battery ("BAT0", charging), bound over
# /sys/class/power_supply in a mount namespace of this run. Wine's GetSystemPowerStatus reads
# these files in the program's process as it reads the machine's own, while the test writes
# them through C: (named in VOREL_POWER_SUPPLY) to unplug and plug the machine; the
# wineserver, which opens the files that programs write, stays outside and sees the folder as
# it is. Where no namespace can be made, the battery case is skipped.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
tools="$here/../../tools"

if [ -z "${VOREL_POWER_SUPPLY_NAMESPACE:-}" ] && [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
  # Its mounts are private to it: the machine's power supply is not touched.
  VOREL_POWER_SUPPLY_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi

supply="${WINEPREFIX:?}/drive_c/power_supply"
mkdir -p "$supply/AC" "$supply/BAT0"
echo Mains >"$supply/AC/type"
echo 1 >"$supply/AC/online"
echo Battery >"$supply/BAT0/type"
echo 1 >"$supply/BAT0/present"
echo Charging >"$supply/BAT0/status"
echo 80 >"$supply/BAT0/capacity"
if [ -n "${VOREL_POWER_SUPPLY_NAMESPACE:-}" ] && mount --bind "$supply" /sys/class/power_supply; then
  export VOREL_POWER_SUPPLY='C:\power_supply'
else
  echo "with_power_supply: cannot give the test a power supply of its own; the battery case is skipped" >&2
fi

exec "$tools/wine-run.sh" "$@"
