#!/usr/bin/env bash
# Installs PlEXIF from a build tree into a private prefix and builds a tiny client against it,
# once through find_package(PlEXIF) and once through pkg-config.
# usage: check-install.sh BUILD_DIR WORK_DIR "EXTRA CXX FLAGS"
set -euo pipefail
build=$1
work=$2
flags=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" --component PlEXIF >/dev/null
test -f "$prefix/include/PlExif.h"
lib=$(find "$prefix" -name 'libPlEXIF.so*' -type f | head -n1)
pc=$(find "$prefix" -name PlEXIF.pc)
config=$(find "$prefix" -name PlEXIFConfig.cmake)
test -n "$lib" && test -n "$pc" && test -n "$config"

echo "== find_package"
cmake -S "$here/client" -B "$work/client" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$work/client" >/dev/null
"$work/client/plexif_client"

echo "== pkg-config"
export PKG_CONFIG_PATH=$(dirname "$pc")
# shellcheck disable=SC2046,SC2086
g++ -std=c++17 $flags "$here/client/main.cpp" $(pkg-config --cflags --libs PlEXIF) \
  -Wl,-rpath,"$(dirname "$lib")" -o "$work/pc_client"
"$work/pc_client"
