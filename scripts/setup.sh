#!/usr/bin/env bash
# Installs what the builds and tests need on Debian 12, and fetches the source
# of Debian's minizip package, which both builds compile with a small patch.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  zlib1g-dev libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine64 locales unzip dpkg-dev patch
  libpugixml-dev libtinyxml2-dev libxml2-dev
  python3 xvfb xauth x11-apps netpbm xdotool
  wixl msitools
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

sources=/etc/apt/sources.list.d/vk-deb-src.sources
need_update=0
if [ ! -f "$sources" ]; then
  cat > "$sources" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi
if [ ${#missing[@]} -gt 0 ] || [ $need_update = 1 ]; then
  apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# minizip's source for both builds, unpacked once into third_party/ with our
# patches applied; a changed patch set unpacks it afresh.
minizip_dir=$root/third_party/minizip
patches=("$root"/cmake/patches/minizip-*.patch)
stamp=$(cat "${patches[@]}" | sha256sum | cut -d' ' -f1)
if [ "$(cat "$minizip_dir/.patched" 2>/dev/null)" != "$stamp" ]; then
  tmp=$(mktemp -d)
  (cd "$tmp" && apt-get source -q minizip >/dev/null)
  src=$(find "$tmp" -maxdepth 3 -name unzip.c -printf '%h\n' | head -n 1)
  [ -n "$src" ] || { echo "setup: minizip source not found" >&2; exit 1; }
  rm -rf "$minizip_dir"
  mkdir -p "$minizip_dir"
  cp "$src"/{ioapi.c,ioapi.h,unzip.c,unzip.h,zip.c,zip.h,crypt.h} "$minizip_dir/"
  rm -rf "$tmp"
  for patch_file in "${patches[@]}"; do
    patch -s -p1 -d "$minizip_dir" < "$patch_file"
  done
  echo "$stamp" > "$minizip_dir/.patched"
fi
