#!/usr/bin/env bash
# The main job on the bundled samples: builds the native tools, reads the sample screen's tooltip
# into an Item Record, then compares that item against the sample settings file's active profile,
# both told as a person reads them (--text; without it, tallywick-cli prints JSON).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/native" -j2 >/dev/null

cli="$root/build/native/cli/tallywick-cli"
echo "== tallywick-cli read samples/sample_screen.png --text"
"$cli" read samples/sample_screen.png --text
echo "== tallywick-cli compare samples/sample_settings.ini samples/sample_screen.png --text"
"$cli" compare samples/sample_settings.ini samples/sample_screen.png --text
