#!/usr/bin/env bash
# Installs, only where missing, every Debian package the build and the tests need.
# Idempotent: a machine that already has everything costs one dpkg query.
# --fuzz adds clang, its sanitizer and libFuzzer runtimes and llvm (make fuzz only).
set -euo pipefail

# fonts-wine is Wine's own fonts, Marlett among them: without it the caption buttons of every
# title bar are drawn as the letters "0 1 r".
native_pkgs=(cmake ninja-build make g++ googletest libgtest-dev libbenchmark-dev g++-mingw-w64-i686
             wine fonts-wine xvfb xauth locales fonts-ipafont-gothic fonts-ipafont-mincho imagemagick
             fonts-urw-base35
             feh time python3 ccache nsis chromium xserver-xephyr)
# The 32-bit Wine where this machine runs 32-bit code; elsewhere the 64-bit Wine and the
# compilers of the 64-bit test tree (tools/wine-env.sh).
here="$(dirname "${BASH_SOURCE[0]}")"
i386_pkgs=()
# Xinerama's library for the Wine that runs the tests: the several-monitor tests run it on a
# Xephyr server with +xinerama.
if [ "$(bash "$here/wine-arch.sh")" = win32 ]; then
  i386_pkgs=(wine32:i386 libxinerama1:i386)
else
  native_pkgs+=(wine64 g++-mingw-w64-x86-64 libxinerama1)
fi
if [ "${1:-}" = "--fuzz" ]; then
  native_pkgs+=(clang libclang-rt-dev llvm)
fi

# One query for every package: names without an architecture are installed as the machine's
# own or as architecture-independent ones.
declare -A installed=()
while read -r name state; do
  [ "$state" = ii ] && installed["$name"]=1
done < <(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' "${native_pkgs[@]}" "${i386_pkgs[@]}" 2>/dev/null)
native_arch="$(dpkg --print-architecture)"
missing=()
for p in "${native_pkgs[@]}" "${i386_pkgs[@]}"; do
  case "$p" in
    *:*) [ -n "${installed[$p]:-}" ] || missing+=("$p") ;;
    *) [ -n "${installed[$p:$native_arch]:-}" ] || [ -n "${installed[$p:all]:-}" ] || missing+=("$p") ;;
  esac
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if [ ${#i386_pkgs[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  # A mirror in the middle of a sync fails one index now and then (seen: the i386 index of
  # bookworm-security older than its Release file). Try again; if the install still cannot
  # be resolved (seen: an amd64 library newer than its i386 twin, and a Wine library whose
  # dependency the security index did not offer), install once more from the release's own
  # archive only, whose packages always agree.
  for attempt in 1 2 3; do
    if $SUDO apt-get update -qq; then break; fi
    echo "install-deps: apt-get update failed (attempt $attempt)" >&2
    sleep $((attempt * 3))
  done
  install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}")
  if ! $SUDO "${install[@]}"; then
    echo "install-deps: installing from the release archive only" >&2
    apt_dir="$(mktemp -d)"
    mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial"
    release="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    # The machine's own mirror: the first archive its sources name that is not the security one.
    mirror="$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | sed -n 's/^URIs: *//p' | grep -v security | head -n 1)"
    [ -n "$mirror" ] || mirror="$(sed -n 's/^deb \(\[[^]]*\] \)\?\([^ ]*\) .*/\2/p' /etc/apt/sources.list 2>/dev/null | grep -v security | head -n 1)"
    printf 'Types: deb\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$mirror" "$release" "$release" >"$apt_dir/sources/release.sources"
    only=(-o Dir::Etc::sourcelist=/dev/null -o "Dir::Etc::sourceparts=$apt_dir/sources"
          -o "Dir::State::Lists=$apt_dir/lists")
    $SUDO apt-get "${only[@]}" update -qq
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get "${only[@]}" install -y -qq --no-install-recommends "${missing[@]}"
    rm -rf "$apt_dir"
  fi
fi

# The Japanese locale makes Wine run with the ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "install-deps: generating ja_JP.UTF-8"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
