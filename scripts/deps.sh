#!/usr/bin/env bash
# Builds the two dependencies that Debian ships only as source (TinyXML and libcurl) for the
# 32-bit mingw target, into a cache prefix outside the work tree. Reused when present.
#   usage: scripts/deps.sh [PREFIX]      (default: $REV_DEPS or ~/.cache/reviverod/deps-1)
# Prints the prefix on its last line.
set -euo pipefail

prefix=${1:-${REV_DEPS:-$HOME/.cache/reviverod/deps-1}}
stamp="$prefix/.complete"
if [ -f "$stamp" ]; then
  echo "$prefix"
  exit 0
fi

echo "deps: building TinyXML and libcurl for the 32-bit target into $prefix (once, a few minutes)" >&2
mkdir -p "$prefix"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# apt-get source unpacks with Debian's patches applied (dpkg-source); as root it warns that
# it cannot drop privileges to _apt, which is harmless.
echo "deps: fetching the sources of tinyxml and curl (apt-get source)" >&2
apt-get source tinyxml curl >source.log 2>&1 || { cat source.log; exit 1; }

# TinyXML: we keep the patched sources; the project compiles them itself, inside its own namespace.
tx=$(ls -d tinyxml-*/ | head -n 1)
mkdir -p "$prefix/tinyxml"
cp "$tx"/tinyxml.h "$tx"/tinystr.h "$tx"/tinyxml.cpp "$tx"/tinyxmlparser.cpp \
   "$tx"/tinyxmlerror.cpp "$tx"/tinystr.cpp "$prefix/tinyxml/"

# libcurl: static, zlib for content decoding, Schannel for https.
cu=$(ls -d curl-*/ | head -n 1)
echo "deps: configuring and compiling libcurl" >&2
(
  cd "$cu"
  ./configure --host=i686-w64-mingw32 --prefix="$prefix/curl" \
    --disable-shared --enable-static --with-zlib=/usr/i686-w64-mingw32 --with-schannel \
    --disable-ldap --disable-ldaps --disable-rtsp --disable-dict --disable-telnet --disable-tftp \
    --disable-pop3 --disable-imap --disable-smtp --disable-gopher --disable-mqtt --disable-manual \
    --without-libpsl --without-brotli --without-zstd --without-libidn2 --without-nghttp2 \
    CC=i686-w64-mingw32-gcc-posix CFLAGS="-O2 -msse2 -mfpmath=sse" >configure.log 2>&1 \
    || { tail -n 40 configure.log; exit 1; }
  make -j"$(nproc)" -C lib >make.log 2>&1 || { tail -n 40 make.log; exit 1; }
  make -C lib install >>make.log 2>&1
  make -C include install >>make.log 2>&1
)

touch "$stamp"
echo "deps: done" >&2
echo "$prefix"
