#!/usr/bin/env bash
# Installs the Debian packages the build needs; does nothing when they are all present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache
  libocct-foundation-dev libocct-modeling-data-dev libocct-modeling-algorithms-dev
  libocct-data-exchange-dev libocct-ocaf-dev libocct-visualization-dev libtbb-dev
  rapidjson-dev libgtest-dev libgmock-dev libbenchmark-dev
  # The workstation: Qt 6 with its OpenGL widgets and web engine, an X server for tests
  # and Mesa's software OpenGL for machines without a GPU.
  qt6-base-dev libqt6opengl6-dev qt6-webengine-dev qt6-webchannel-dev
  xvfb xauth libgl1-mesa-dri libglx-mesa0 libgl1-mesa-dev
  # Xlib, for the test that closes the workstation's window as a window manager does.
  libx11-dev
  # An independent glTF loader for the tests of the mesh files kestrun writes.
  assimp-utils
  # The command line's report is checked against its JSON Schema.
  python3 python3-jsonschema
  # `kestrun validate` checks documents against the published schemas with valijson.
  libvalijson-dev
  # CI fails on C++ files that differ from .clang-format (scripts/check-format.sh).
  clang-format
)
if [ "${KESTRUN_WITH_FUZZ:-0}" = "1" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
# Only when asked: the Windows cross build (MinGW-w64, GoogleTest's sources) and Wine to run
# its tests (scripts/test-windows.sh).
if [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix wine wine64 googletest)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
