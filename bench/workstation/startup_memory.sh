#!/usr/bin/env bash
# Start-up time and peak memory of the workstation with one Part, the add-in loaded and no
# panel open: RUNS starts (5 by default), each until its window is shown and painted, under
# a virtual X server when there is no display. Prints one JSON line per run and the medians.
# Usage: bench/workstation/startup_memory.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/release}
runs=${2:-5}
program="$build/bin/workstation"
[ -x "$program" ] || { echo "build the workstation first: $program is missing" >&2; exit 1; }

run() {
  if [ -n "${DISPLAY:-}" ]; then
    "$program" --report-startup --quit-after-draw
  else
    xvfb-run -a -s "-screen 0 1600x1000x24" "$program" --report-startup --quit-after-draw
  fi
}

state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
export XDG_STATE_HOME="$state"
results=()
for _ in $(seq "$runs"); do
  line=$(run 2>/dev/null | grep startupSeconds)
  echo "$line"
  results+=("$line")
done
printf '%s\n' "${results[@]}" | python3 -c '
import json, statistics, sys
rows = [json.loads(l) for l in sys.stdin if l.strip()]
s = statistics.median(r["startupSeconds"] for r in rows)
m = statistics.median(r["peakResidentKb"] for r in rows) / 1024
print(json.dumps({"runs": len(rows), "medianStartupSeconds": round(s, 3),
                  "medianPeakResidentMiB": round(m, 1)}))'
