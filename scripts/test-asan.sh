#!/usr/bin/env bash
# The unit tests of core, occt_host, transfer, addin and platform built with the address and
# undefined-behaviour sanitizers, warnings as errors, and run (tests labelled "unit").
# Usage: scripts/test-asan.sh   (after scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
cmake --preset asan -DTOLVANE_WERROR=ON >/dev/null
# Only these targets: the rest of the tree under the sanitizers would double CI's time.
cmake --build --preset asan -j"$jobs" --target core_tests occt_host_tests transfer_tests \
  addin_tests platform_tests
# A test that hangs fails after ten minutes instead of holding CI to its own limit.
ctest --preset asan -L '^unit$' -j"$jobs" --timeout 600
