#!/usr/bin/env bash
# The main job: builds the project, then runs the demo macro on the bundled
# sample library in data/ (its struct.ini lists the libraries).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" "$top/build" >&2
mkdir -p "$top/out"
cd "$top/data"
echo "== registered by the plug-in" >&2
"$top/build/bin/structhost" --sysdir . --list
echo "== examples/demo.mac" >&2
exec "$top/build/bin/structhost" --sysdir . "$top/examples/demo.mac"
