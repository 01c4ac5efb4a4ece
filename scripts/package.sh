#!/usr/bin/env bash
# Builds the release a player downloads: the Windows programs in a tree of their own (build/release)
# packed into dist/Tallywick-<version>-win64.zip (cmake/release.cmake, scripts/release_zip.py), then
# checks what the zip holds. The same commit gives the same bytes; the entries carry the time of the
# last commit (or SOURCE_DATE_EPOCH).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
tree="$root/build/release"
zip="Tallywick-$(head -n1 VERSION)-win64.zip"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

mkdir -p "$root/build" "$root/dist"
echo "== configure and build $tree"
cmake -S "$root" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >"$root/build/release.configure.log" 2>&1 ||
    { tail -n 40 "$root/build/release.configure.log"; exit 1; }
# Packed afresh every time: the time inside follows the commit, which the build does not track.
rm -f "$tree/dist/$zip"
cmake --build "$tree" -j2 --target release_zip >"$root/build/release.build.log" 2>&1 ||
    { tail -n 60 "$root/build/release.build.log"; exit 1; }
ctest --test-dir "$tree" -R '^release_zip$' --output-on-failure >"$root/build/release.ctest.log" 2>&1 ||
    { cat "$root/build/release.ctest.log"; exit 1; }

cp "$tree/dist/$zip" "$root/dist/$zip"
echo "== dist/$zip: $(stat -c %s "dist/$zip") bytes, sha256 $(sha256sum "dist/$zip" | cut -d' ' -f1)"
LC_ALL=C.UTF-8 unzip -l "dist/$zip"
