#!/usr/bin/env bash
# Sets up what is missing, builds every tree and runs every test:
# the native core under sanitizers, the simulator's own tests, the map
# file fuzzer for a bounded time, and the Windows tests under Wine against
# simulated controllers and a print server of their own, the framework's
# and the main window's tests on a virtual display, then the printer tests
# again without a print server; the controller-link and polling benchmarks.
# Ends with the shipped 32-bit build: a smoke test of Gantrel.exe and the
# tests that do not open the real file dialog, where this machine can run
# 32-bit programs.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

FUZZ_SECONDS=${FUZZ_SECONDS:-30}

# Runs a Windows test executable under Wine with its exception and heap
# errors on. An exception inside a window procedure or hook is ignored
# where the platform calls back into the program (Windows does the same),
# so the run goes on and may pass: Wine's notice of it fails the run here.
wine_test() {
    local name log status=0
    name=$(basename "$1" .exe)
    log=$GANTREL_BUILD/$name.wine.log
    WINEDEBUG=-all,err+seh,err+heap "$WINE64" "$@" 2>&1 | tee "$log" || status=$?
    local faults
    faults=$(grep -cE "ignoring exception|err:heap" "$log" || true)
    if [ "$faults" -gt 0 ]; then
        echo "$name: $faults exception or heap error notice(s) from Wine (see $log);" \
            "rerun it with WINEDEBUG=+seh to find them" >&2
        return 1
    fi
    return "$status"
}

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
ensure_wine_prefix
ensure_display
trap 'stop_simulators; stop_wine; stop_print_server; stop_display' EXIT
start_simulator COM1 --version 105
start_handheld_simulator COM3
start_simulator COM4 --version 105
start_print_server
wine_test "$GANTREL_BUILD/win64/gantrel-win-tests.exe" --gtest_brief=1

say "framework tests under Wine"
wine_test "$GANTREL_BUILD/win64/framework-tests.exe" --gtest_brief=1

say "main window tests under Wine"
wine_test "$GANTREL_BUILD/win64/app-tests.exe" --gtest_brief=1

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

say "the shipped 32-bit build under 32-bit Wine"
stop_simulators
if ensure_i386_execution; then
    smoke_test_shipped_build
    stop_simulators
    run_i686_tests
else
    echo "SKIPPED: the shipped 32-bit build cannot run here: $GANTREL_I386_UNAVAILABLE."
    echo "Only its build was checked; the 64-bit runs above are complete."
fi

say "all tests passed"
