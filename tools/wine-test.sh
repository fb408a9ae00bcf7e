#!/usr/bin/env bash
# Runs one Windows test executable under the private Wine prefix, with a
# virtual display, simulated controllers on COM1 and COM4 and a simulated
# handheld on COM3:
#   tools/wine-test.sh build/win64/framework-tests.exe --gtest_filter='Grid*'
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
exe=$1
shift
ensure_wine_prefix
ensure_display
trap 'stop_simulators; stop_wine; stop_display' EXIT
start_simulator COM1
start_handheld_simulator COM3
start_simulator COM4
"$WINE64" "$exe" "$@"
