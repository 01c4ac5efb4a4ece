#!/usr/bin/env bash
# The main job on the bundled samples: builds the command-line tool, reads the sample screen's tooltip
# into an Item Record, then compares that item against the sample settings file's active profile,
# both told as a person reads them (--text; without it, tallywick-cli prints JSON).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
mkdir -p "$root/build"
log="$root/build/run.build.log"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Release >"$log" 2>&1 &&
    cmake --build "$root/build/native" -j2 --target tallywick-cli >>"$log" 2>&1 ||
    { tail -n 40 "$log"; echo "run: the build failed (see $log)" >&2; exit 1; }

cli="$root/build/native/cli/tallywick-cli"
echo "== tallywick-cli read samples/sample_screen.png --text"
"$cli" read samples/sample_screen.png --text
echo "== tallywick-cli compare samples/sample_settings.ini samples/sample_screen.png --text"
"$cli" compare samples/sample_settings.ini samples/sample_screen.png --text
