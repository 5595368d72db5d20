#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Idempotent: a second run only checks.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

pkgs=(cmake make g++ pkg-config zlib1g-dev libpugixml-dev libboost-dev nlohmann-json3-dev libhowardhinnant-date-dev
      libcurl4-openssl-dev libgtest-dev googletest libbenchmark-dev libexpat1-dev python3 python3-pytest python3-pyftpdlib
      libxml2-utils chromium chromium-driver python3-selenium mingw-w64 g++-mingw-w64-i686 libz-mingw-w64-dev
      wine wine32:i386 dpkg-dev clang libclang-rt-14-dev
      wine64 g++-mingw-w64-x86-64 tzdata gnuplot-nox libsystemd-dev systemd-journal-remote libsqlite3-dev
      openssl python3-openssl)
# The SEL decoder's cross-check: a decoder of the standard's tables no one here wrote.
pkgs+=(ipmitool)
# norbix-fleet: its stores (SQLite, PostgreSQL and its server for the tests); Tcl makes SQLite's amalgamation.
pkgs+=(libpq-dev postgresql-15 tcl8.6)

need_install=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_install=1
fi
# apt-get source needs source entries; derive them from the binary ones so no host is named here.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      | $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
      | $SUDO tee /etc/apt/sources.list.d/debian-src.list >/dev/null
  fi
  need_install=1
fi
for p in "${pkgs[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || { need_install=1; break; }
done
if [ "$need_install" = 1 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${pkgs[@]}" >/dev/null
fi

# pugixml for the win32 target is built from Debian's source package.
src="$here/build/third-party/pugixml"
if [ ! -f "$src/src/pugixml.cpp" ]; then
  tmp=$(mktemp -d)
  (cd "$tmp" && apt-get source -qq pugixml >/dev/null 2>&1)
  dir=$(find "$tmp" -maxdepth 1 -type d -name 'pugixml-*' | head -n 1)
  [ -n "$dir" ] || { echo "setup: apt-get source pugixml failed" >&2; exit 1; }
  mkdir -p "$(dirname "$src")"
  rm -rf "$src"
  mv "$dir" "$src"
  rm -rf "$tmp"
fi
# SQLite for the win32 target: the single-file amalgamation made from Debian's source package.
sqlite="$here/build/third-party/sqlite"
if [ ! -f "$sqlite/sqlite3.c" ]; then
  tmp=$(mktemp -d)
  (cd "$tmp" && apt-get source -qq sqlite3 >/dev/null 2>&1)
  dir=$(find "$tmp" -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)
  [ -n "$dir" ] || { echo "setup: apt-get source sqlite3 failed" >&2; exit 1; }
  mkdir "$dir/bld"
  (cd "$dir/bld" && ../configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null) \
    || { echo "setup: making sqlite3.c failed" >&2; exit 1; }
  mkdir -p "$sqlite"
  cp "$dir/bld/sqlite3.c" "$dir/bld/sqlite3.h" "$sqlite/"
  rm -rf "$tmp"
fi
echo "setup: done"
