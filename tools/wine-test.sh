#!/usr/bin/env bash
# Runs one Windows test executable under the private Wine prefix, with a
# virtual display, simulated controllers on COM1 and COM4, a simulated
# handheld on COM3 and the tests' print server (NO_PRINTER=1: none, as on a
# machine without printers):
#   tools/wine-test.sh build/win64/framework-tests.exe --gtest_filter='Grid*'
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
exe=$1
shift
trap 'stop_simulators; stop_wine; stop_print_server; stop_display' EXIT
ensure_display
ensure_wine_prefix
start_simulator COM1
start_handheld_simulator COM3
start_simulator COM4
[ "${NO_PRINTER:-0}" = 1 ] || start_print_server
"$WINE64" "$exe" "$@"
