#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (run as root), then builds
# the cached source-only dependencies. Idempotent: quick when everything is already there.
set -euo pipefail

packages=(
  g++-mingw-w64-i686-posix mingw-w64-tools libz-mingw-w64-dev libboost-dev googletest
  wine wine32:i386 xvfb xauth fonts-wqy-zenhei
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
  cmake ninja-build python3 lame sox imagemagick dpkg-dev libgcrypt-mingw-w64-dev locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

need_src=0
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  need_src=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_src = 1 ]; then
  [ "$(id -u)" = 0 ] || { echo "setup: missing packages (${missing[*]}); run as root" >&2; exit 1; }
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture to dpkg (Wine's 32-bit packages)" >&2
    dpkg --add-architecture i386
  fi
  if [ $need_src = 1 ]; then
    # deps.sh fetches the sources of TinyXML and libcurl with apt-get source.
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      echo "setup: adding source lines to apt: /etc/apt/sources.list.d/debian-src.sources" >&2
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        >/etc/apt/sources.list.d/debian-src.sources
    else
      echo "setup: adding source lines to apt: /etc/apt/sources.list.d/debian-src.list" >&2
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/debian-src.list
    fi
  fi
  echo "setup: apt-get update" >&2
  apt-get update -q >/dev/null
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${#missing[@]} packages (a few minutes): ${missing[*]}" >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi

# Wine names Unix files in the bytes of its process's locale (zh_CN.UTF-8, given to wine
# processes only): until that locale is generated, a file or folder named outside ASCII
# ("晴天.lrc") can be neither made nor found.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  [ "$(id -u)" = 0 ] || { echo "setup: the locale zh_CN.UTF-8 is missing; run as root" >&2; exit 1; }
  echo "setup: generating the locale zh_CN.UTF-8 (for Wine's file names)" >&2
  if grep -qE '^[# ]*zh_CN\.UTF-8 UTF-8' /etc/locale.gen; then
    sed -i -E 's/^[# ]*(zh_CN\.UTF-8 UTF-8)/\1/' /etc/locale.gen
  else
    echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  fi
  locale-gen >/dev/null
fi

"$(dirname "$0")/deps.sh" | tail -n 1
