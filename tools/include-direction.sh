#!/usr/bin/env bash
# Every include points down. The folders from the floor up: engine/ (the neutral core),
# calendar/, then the adapters platform/ and converters/, then change/ (a change on Windows),
# then the programs. A folder may include itself and the folders listed for it, nothing else;
# the programs' folders (resident/, settings_ui/, oneshot/) may include every folder below them.
# Run by every build; prints each include against the direction and fails.
# Usage: include-direction.sh [source root]
set -uo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
declare -A allowed=(
  [engine]=""
  [calendar]="engine"
  [platform]="engine calendar"
  [converters]="engine platform"
  [change]="engine calendar platform converters"
)
project="engine|calendar|platform|converters|change|resident|settings_ui|oneshot|resources|tests|tools|bench|fuzz"
status=0
for folder in "${!allowed[@]}"; do
  while IFS= read -r hit; do
    file=${hit%%:*}
    included=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$hit")
    [ "$included" = "$folder" ] && continue
    case " ${allowed[$folder]} " in *" $included "*) continue ;; esac
    echo "include-direction: ${file#"$root"/} includes $included/, which $folder/ must not use" >&2
    status=1
  done < <(grep -rnE "^[[:space:]]*#[[:space:]]*include \"($project)/" "$root/$folder" --include='*.h' --include='*.cpp')
done
exit $status
