#!/usr/bin/env bash
# Sets up what is missing, builds, and starts Gantrel.exe under Wine in the
# private prefix, with the simulated controller on COM1 (paced at the real
# 2400 baud) and the simulated handheld on COM3. Without a display it starts a virtual one, runs for a while,
# saves a screenshot and says where.
#   tools/run.sh [map file]
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

RUN_SECONDS=${RUN_SECONDS:-20}
GANTREL_ALLOW_USER_PORTS=1

ensure_packages
say "building"
build_tree native -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
build_tree win64 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$GANTREL_ROOT/cmake/mingw-x86_64.cmake"
trap 'stop_simulators; stop_wine; stop_display' EXIT
# The display first: Wine's session must start on it.
headless=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    headless=1
    ensure_display
fi
ensure_wine_prefix
start_simulator COM1 --version 105
start_handheld_simulator COM3

say "starting Gantrel.exe (simulated controller on COM1, handheld on COM3)"
exe="$GANTREL_BUILD/win64/Gantrel.exe"
if [ "$headless" -eq 0 ]; then
    "$WINE64" "$exe" "$@"
    exit 0
fi
"$WINE64" "$exe" "$@" &
pid=$!
sleep "$RUN_SECONDS"
shot="$GANTREL_BUILD/artifacts/run-screenshot.bmp"
mkdir -p "$(dirname "$shot")"
"$WINE64" "$GANTREL_BUILD/win64/gantrel-screenshot.exe" "Z:${shot//\//\\}" "Gantrel Control Center" || true
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
say "screenshot of the running program: $shot"
