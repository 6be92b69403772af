#!/usr/bin/env bash
# Sets everything up, builds, and draws a bundled example into a STEP file.
# Usage: scripts/run-example.sh [EXAMPLE.json] [OUT.step]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
example=${1:-$root/examples/flanged_bracket.json}
out=${2:-$root/build/example.step}

"$root/scripts/setup.sh"
cmake --preset release -S "$root" >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target kestrun
set +e
"$root/build/release/bin/kestrun" draw "$example" --step "$out"
status=$?
set -e
echo "wrote $out (import status $status)" >&2
[ "$status" -le 1 ]
