#!/usr/bin/env bash
# Exit status 0 when this machine runs 32-bit x86 programs, 1 when it does not (some virtual
# machines run 64-bit user code only, and every i386 program fails with "Exec format error").
# Asked of a 93-byte i386 program that only exits, so it needs no i386 package installed.
set -u
probe="$(mktemp /tmp/vorel-i386-probe.XXXXXX)"
trap 'rm -f "$probe"' EXIT
# ELF header, one loadable segment at 0x08048000, then: mov eax, 1; xor ebx, ebx; int 0x80.
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$probe"
printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$probe"
printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' >>"$probe"
printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$probe"
printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$probe"
printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >>"$probe"
chmod +x "$probe"
"$probe" >/dev/null 2>&1 && exit 0
exit 1
