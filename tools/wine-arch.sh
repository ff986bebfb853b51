#!/usr/bin/env bash
# Prints the Windows architecture whose programs Wine runs on this machine: win32 where it
# runs 32-bit code, win64 where it does not (see wine-env.sh). VOREL_WINE_ARCH overrides.
if [ -n "${VOREL_WINE_ARCH:-}" ]; then echo "$VOREL_WINE_ARCH"; exit 0; fi
if bash "$(dirname "${BASH_SOURCE[0]}")/host-runs-i386.sh"; then echo win32; else echo win64; fi
