#!/usr/bin/env bash
# Installs, only where missing, every Debian package the build and the tests need.
# Idempotent: a machine that already has everything costs one dpkg query.
# --fuzz adds clang, its sanitizer and libFuzzer runtimes and llvm (make fuzz only).
set -euo pipefail

native_pkgs=(cmake make g++ googletest libgtest-dev libbenchmark-dev g++-mingw-w64-i686
             wine xvfb xauth locales fonts-ipafont-gothic fonts-ipafont-mincho imagemagick
             fonts-urw-base35
             feh time python3 ccache nsis chromium)
i386_pkgs=(wine32:i386)
if [ "${1:-}" = "--fuzz" ]; then
  native_pkgs+=(clang libclang-rt-dev llvm)
fi

missing=()
for p in "${native_pkgs[@]}" "${i386_pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  # A mirror in the middle of a sync fails one index now and then (seen: the i386 index of
  # bookworm-security older than its Release file). Try again; if the install still cannot
  # be resolved (an amd64 library newer than its i386 twin), install once more from the
  # release's own archive only, whose two architectures always match.
  updated=0
  for attempt in 1 2 3; do
    if $SUDO apt-get update -qq; then updated=1; break; fi
    echo "install-deps: apt-get update failed (attempt $attempt)" >&2
    sleep $((attempt * 3))
  done
  install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}")
  if ! $SUDO "${install[@]}"; then
    [ "$updated" = 1 ] && exit 1
    echo "install-deps: installing from the release archive only" >&2
    apt_dir="$(mktemp -d)"
    mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial"
    release="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$release" "$release" >"$apt_dir/sources/release.sources"
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
