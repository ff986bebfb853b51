#!/usr/bin/env bash
# The demonstration run. For now the programs are being built up issue by issue; this
# shows that the Windows build runs in the Japanese Wine prefix and stores its settings.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/wine-prefix.sh"
echo "demo: the Windows build is in $root/build/win32"
