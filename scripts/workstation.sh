#!/usr/bin/env bash
# Sets everything up, builds the workstation and opens it on an example part, drawn item by
# item. Without a display it draws under a virtual X server and writes a screenshot instead.
# Usage: scripts/workstation.sh [EXAMPLE.json] [SCREENSHOT.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
example=${1:-$root/examples/flanged_bracket.json}
shot=${2:-$root/build/workstation.png}

"$root/scripts/setup.sh"
cmake --preset release -S "$root" >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target workstation
program="$root/build/release/bin/workstation"
if [ -n "${DISPLAY:-}" ]; then
  exec "$program" --open "$example" --delay-ms 150
fi
xvfb-run -a -s "-screen 0 1600x1000x24" "$program" --open "$example" --delay-ms 20 \
  --screenshot "$shot" --quit-after-draw
echo "no display: wrote $shot" >&2
