#!/usr/bin/env bash
# Sets everything up, builds, and runs every test.
# Usage: scripts/test.sh [PRESET]   (release by default; debug and asan also work)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-release}

"$root/scripts/setup.sh"
cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
ctest --preset "$preset" -j"$(nproc)"
