#!/usr/bin/env bash
# Sets up what is missing, builds every tree and runs every test: the
# native core under sanitizers, the simulators' own tests, the map file
# fuzzer for a bounded time; under Wine against simulated controllers, a
# simulated handheld and a print server of their own, on virtual displays:
# the link's and the framework's tests, then the main window's tests in
# lanes side by side with the skin library's tests and the shipped 32-bit
# build's smoke test and tests (where this machine can run 32-bit
# programs), the printer tests again
# without a print server, and last, on a quiet machine, the benchmarks.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

FUZZ_SECONDS=${FUZZ_SECONDS:-30}

ensure_packages
build_all

say "native tests"
ctest --test-dir "$GANTREL_BUILD/native" --output-on-failure

say "map file fuzzer, ${FUZZ_SECONDS}s"
corpus=$GANTREL_BUILD/fuzz-corpus
mkdir -p "$corpus"
if ! "$GANTREL_BUILD/native/mapfile-fuzz" -max_total_time="$FUZZ_SECONDS" \
    -artifact_prefix="$GANTREL_BUILD/" "$corpus" "$GANTREL_ROOT/tests/fuzz/seeds" >"$GANTREL_BUILD/fuzz.log" 2>&1; then
    tail -40 "$GANTREL_BUILD/fuzz.log" >&2
    echo "the fuzzer found a failing input (saved under $GANTREL_BUILD)" >&2
    exit 1
fi
grep -E "^Done" "$GANTREL_BUILD/fuzz.log"

say "Windows tests under Wine"
trap 'stop_simulators; stop_wine; stop_print_server; stop_display' EXIT
ensure_display
ensure_wine_prefix
start_test_simulators
start_print_server
wine_test "$GANTREL_BUILD/win64/gantrel-win-tests.exe" --gtest_brief=1

say "framework tests under Wine"
wine_test "$GANTREL_BUILD/win64/framework-tests.exe" --gtest_brief=1

say "main window tests under Wine in lanes side by side, the skin library's tests and the shipped 32-bit build beside them"
# The lanes copy the main prefix: its server stops first, saving its registry.
stop_simulators
stop_wine
i686=0
if ensure_i386_execution; then i686=1; fi
lane_pids=()
lane_logs=()
for i in $(seq 0 ${#GANTREL_APP_LANES[@]}); do
    lane_logs+=("$GANTREL_BUILD/lanes/app-$i.log")
    run_in_lane "app-$i" "${lane_logs[$i]}" app_tests_with_simulators --gtest_filter="$(app_lane_filter "$i")" &
    lane_pids+=($!)
done
lane_logs+=("$GANTREL_BUILD/lanes/skin.log")
run_in_lane skin "$GANTREL_BUILD/lanes/skin.log" wine_test "$GANTREL_BUILD/win64/skin-tests.exe" --gtest_brief=1 &
lane_pids+=($!)
if [ "$i686" = 1 ]; then
    lane_logs+=("$GANTREL_BUILD/lanes/i686.log")
    run_in_lane i686 "$GANTREL_BUILD/lanes/i686.log" i686_smoke_test_and_tests &
    lane_pids+=($!)
fi
lanes_failed=0
for i in "${!lane_pids[@]}"; do
    wait "${lane_pids[$i]}" || lanes_failed=1
    say "$(basename "${lane_logs[$i]}" .log)"
    cat "${lane_logs[$i]}"
done
[ "$i686" = 1 ] || {
    echo "SKIPPED: the shipped 32-bit build cannot run here: $GANTREL_I386_UNAVAILABLE."
    echo "Only its build was checked; the 64-bit runs are complete."
}
[ "$lanes_failed" = 0 ] || { echo "a lane failed (logs under $GANTREL_BUILD/lanes)" >&2; exit 1; }

start_wine
start_test_simulators

say "printer tests without a print server"
stop_print_server
wine_test "$GANTREL_BUILD/win64/framework-tests.exe" --gtest_brief=1 \
    --gtest_filter='ServicesPrinter.*:ServicesPrinters.*:ServicesPrintDialog.*'
wine_test "$GANTREL_BUILD/win64/app-tests.exe" --gtest_brief=1 --gtest_filter='PrintAvailability.*'

say "controller link benchmark (paced at 2400 baud)"
"$WINE64" "$GANTREL_BUILD/win64/comport-bench.exe"

say "transfer benchmark: Upload All and Get All of four tables (paced at 2400 baud)"
"$WINE64" "$GANTREL_BUILD/win64/transfer-bench.exe"

say "live-value polling benchmark (paced at 2400 baud)"
"$WINE64" "$GANTREL_BUILD/win64/monitor-bench.exe"

say "effect controls benchmark: a shadow panel's repaint on a gradient form, run panel at 10 ms ticks"
"$WINE64" "$GANTREL_BUILD/win64/effects-bench.exe"

say "skinned controls benchmark: a 638 x 489 blended buffer with 20 see-through children, beside a plain fill"
"$WINE64" "$GANTREL_BUILD/win64/skin-bench.exe"

say "all tests passed"
