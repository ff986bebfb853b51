#!/usr/bin/env bash
# Runs a Windows program in the project's Wine prefix with code page 932.
# Without a DISPLAY it brings up its own Xvfb for this one command and stops it afterwards.
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/wine-env.sh"
"$here/wine-prefix.sh" || exit 1

if [ -z "${DISPLAY:-}" ]; then
  exec "$here/with-display.sh" "$here/wine-run.sh" "$@"
fi
exec wine "$@"
