#!/usr/bin/env bash
# Writes the seed corpus of every harness into OUT (default build/fuzz/seeds), from the
# builders the native tests use. Nothing binary is kept in the repository.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD:-$root/build/fuzz}"
out="${1:-$build/seeds}"
rm -rf "$out"
"$build/fuzz_seeds" "$out"
for d in "$out"/*/; do echo "seeds: $(basename "$d"): $(ls "$d" | wc -l) files"; done
