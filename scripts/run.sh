#!/usr/bin/env bash
# Builds the native Release tree and reads the bundled sample screen with the command-line reader.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/native" -j2

cli="$root/build/native/cli/tallywick-cli"
sample="$root/samples/sample_screen.bmp"
if [ -x "$cli" ] && [ -f "$sample" ]; then
    "$cli" read "$sample"
else
    echo "Built the native tree in build/native; the command-line reader or the sample screen is not there yet."
fi
