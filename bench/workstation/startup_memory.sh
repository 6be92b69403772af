#!/usr/bin/env bash
# Start-up time and peak memory of the workstation with one Part, the add-in loaded and no
# panel open, drawing the flanged bracket: RUNS rounds (5 by default), each starting the
# workstation once with the face boundaries drawn and once without them (the baseline,
# TOLVANE_VIEW_EDGES=0), under a virtual X server when there is no display. The start-up
# time is to the first painted window (before the draw); the peak resident memory is the
# whole run's, the bracket drawn and shown. Prints one JSON line per start and the medians.
# Usage: bench/workstation/startup_memory.sh [BUILD_DIR] [RUNS] [PART_JSON]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/release}
runs=${2:-5}
part=${3:-$root/examples/flanged_bracket.json}
program="$build/bin/workstation"
[ -x "$program" ] || { echo "build the workstation first: $program is missing" >&2; exit 1; }

run() {
  local report=$1
  local command=(/usr/bin/time -f "maxResidentKb=%M" -o "$report" "$program" --report-startup
                 --open "$part" --screenshot "$state/shot.png" --quit-after-draw)
  if [ -n "${DISPLAY:-}" ]; then
    "${command[@]}"
  else
    xvfb-run -a -s "-screen 0 1600x1000x24" "${command[@]}"
  fi
}

state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
export XDG_STATE_HOME="$state"
results=()
for _ in $(seq "$runs"); do
  for edges in 1 0; do
    line=$(TOLVANE_VIEW_EDGES=$edges run "$state/time.txt" 2>/dev/null | grep startupSeconds)
    peak=$(sed -n 's/^maxResidentKb=//p' "$state/time.txt")
    line=$(python3 -c 'import json,sys; r=json.loads(sys.argv[1]); r["edges"]=sys.argv[2]=="1";
r["peakResidentKb"]=max(r["peakResidentKb"], int(sys.argv[3])); print(json.dumps(r))' \
      "$line" "$edges" "$peak")
    echo "$line"
    results+=("$line")
  done
done
printf '%s\n' "${results[@]}" | python3 -c '
import json, statistics, sys
rows = [json.loads(l) for l in sys.stdin if l.strip()]
out = {"runs": len(rows) // 2}
for edges, key in ((True, "edges"), (False, "baselineWithoutEdges")):
    mine = [r for r in rows if r["edges"] == edges]
    out[key] = {"medianStartupSeconds": round(statistics.median(r["startupSeconds"] for r in mine), 3),
                "medianPeakResidentMiB": round(statistics.median(r["peakResidentKb"] for r in mine) / 1024, 1)}
print(json.dumps(out))'
