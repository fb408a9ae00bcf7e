# Shared by the test and run scripts: packages, builds, the private Wine
# prefix with its COM ports, and the simulated controllers.
# shellcheck shell=bash

GANTREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
GANTREL_BUILD=${GANTREL_BUILD:-$GANTREL_ROOT/build}
WINE64=/usr/lib/wine/wine64
# Runs the shipped 32-bit build (package wine32).
WINE32=/usr/lib/wine/wine
WINESERVER=/usr/lib/wine/wineserver

# Everything the builds and tests need on a fresh Debian 12: the print
# server and PDF tools of the printing tests, and, last, 32-bit Wine and
# QEMU, which run the shipped 32-bit build where the kernel runs no 32-bit
# programs itself.
GANTREL_PACKAGES=(
    cmake ninja-build clang libclang-rt-14-dev googletest
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine64 xvfb xauth x11-utils fonts-wine
    cups-daemon cups-client libcups2 ghostscript poppler-utils
    qemu-user-static wine32:i386
)

say() { printf '\n== %s\n' "$*"; }

GANTREL_SUDO=()
if [ "$(id -u)" -ne 0 ]; then GANTREL_SUDO=(sudo); fi

# Other installs may be running on the same machine: wait for their lock.
apt_get() {
    DEBIAN_FRONTEND=noninteractive "${GANTREL_SUDO[@]}" apt-get -o DPkg::Lock::Timeout=600 "$@"
}

ensure_packages() {
    local missing=()
    for p in "${GANTREL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing ${missing[*]}"
    if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${GANTREL_SUDO[@]}" dpkg --add-architecture i386
    fi
    # A mirror that lacks one index (seen: the security updates for i386)
    # still serves the rest; the install below says what it cannot find.
    apt_get update -qq || echo "warning: some package indexes could not be read; going on with the others" >&2
    apt_get install -y -qq --no-install-recommends --no-remove "${missing[@]}" && return 0
    [[ " ${missing[*]}" == *:i386* ]] || return 1
    echo "the plain install could not go through; trying again with the 32-bit libraries' versions" >&2
    install_aligned_i386 "${missing[@]}"
}

# A 32-bit library installs only at exactly the version of its 64-bit twin.
# When the mirror's i386 side lags behind the amd64 one (seen: a security
# index missing for i386), take the release's versions on both sides, which
# may step a 64-bit twin back to the version its 32-bit twin has.
install_aligned_i386() {
    local release names pins
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    names=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
        --no-replaces --no-enhances "$@" 2>/dev/null | grep -E '^[a-z0-9].*:i386$' | sort -u || true)
    # name:i386 and its candidate, then the installed twins that share one version with it.
    # shellcheck disable=SC2086
    pins=$(join <(apt-cache policy -t "$release" $names 2>/dev/null |
        awk '/^[a-z0-9].*:i386:$/{n=substr($1,1,length($1)-6)} /Candidate:/{if ($2 != "(none)") print n, $2}' | sort) \
        <(dpkg-query -W -f='${binary:Package} ${db:Status-Abbrev} ${Multi-Arch} ${Version}\n' 2>/dev/null |
            awk '$2=="ii" && $3=="same" {sub(/:amd64$/,"",$1); print $1, $4}' | sort) |
        while read -r name candidate installed; do
            [ "$candidate" != "$installed" ] && echo "$name:amd64=$candidate"
        done || true)
    say "aligning with the $release versions of the 32-bit libraries:" $pins
    # shellcheck disable=SC2086
    apt_get install -y -qq --no-install-recommends --no-remove --allow-downgrades -t "$release" "$@" $pins
}

# build <name> [cmake options...]
# Its output goes to build/<name>.build.log; a failure shows the end of it.
build_tree() {
    local name=$1
    shift
    local log=$GANTREL_BUILD/$name.build.log
    mkdir -p "$GANTREL_BUILD"
    if ! { cmake -S "$GANTREL_ROOT" -B "$GANTREL_BUILD/$name" -G Ninja "$@" && ninja -C "$GANTREL_BUILD/$name"; } \
        >"$log" 2>&1; then
        grep -E "error|FAILED" "$log" | head -20 >&2
        tail -20 "$log" >&2
        echo "the $name build failed (its whole output: $log)" >&2
        return 1
    fi
}

build_all() {
    say "building: native (sanitizers), win64, win32"
    build_tree native -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
    build_tree win64 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$GANTREL_ROOT/cmake/mingw-x86_64.cmake"
    build_tree win32 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$GANTREL_ROOT/cmake/mingw-i686.cmake"
}

# --- Wine ---------------------------------------------------------------

export WINEPREFIX=$GANTREL_BUILD/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
GANTREL_PORTS=$GANTREL_BUILD/ports

# Every COM port Wine could hand out, COM1..COM255, leads into
# $GANTREL_PORTS, where only the simulators put anything. Without these
# entries Wine maps COM ports to the machine's real serial devices, one of
# which is its console; with all 255 taken, a real device could only land
# on COM256, which no program here ever names.
write_port_registry() {
    local reg=$GANTREL_BUILD/ports.reg
    {
        printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
        for i in $(seq 1 255); do printf '"COM%d"="%s/com%d"\r\n' "$i" "$GANTREL_PORTS" "$i"; done
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
        # A crashing test prints its backtrace and ends instead of waiting
        # for someone to close a crash dialog.
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n'
    } >"$reg"
    echo "$reg"
}

# Tests may reach only the simulators' links. The run command also accepts
# a USB serial adapter the user mapped on purpose (README), and nothing
# else: the machine's built-in ports include its console.
GANTREL_ALLOW_USER_PORTS=${GANTREL_ALLOW_USER_PORTS:-0}

check_ports_are_private() {
    local link target
    for link in "$WINEPREFIX"/dosdevices/com*; do
        [ -L "$link" ] || continue
        target=$(readlink "$link")
        case "$link" in *com256) continue ;; esac
        [[ "$target" == "$GANTREL_PORTS"/* ]] && continue
        if [ "$GANTREL_ALLOW_USER_PORTS" = 1 ] && [[ "$target" == /dev/ttyUSB* || "$target" == /dev/ttyACM* ]]; then
            echo "note: $(basename "$link") leads to $target (mapped by you)" >&2
            continue
        fi
        echo "refusing to go on: $(basename "$link") leads to $target" >&2
        return 1
    done
}

# Needs the display (ensure_display): Wine starts its services with the
# prefix's first program, and services started without a display leave the
# whole session unable to make windows.
ensure_wine_prefix() {
    require_display || return 1
    mkdir -p "$GANTREL_PORTS"
    # The prefix gets its 32-bit system only if 32-bit programs can run when
    # it is made: one made before then is made again once they can.
    if [ -x "$WINE32" ] && ensure_i386_execution 2>/dev/null &&
        [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        rm -f "$WINEPREFIX/.gantrel-ready-2"
    fi
    if [ ! -f "$WINEPREFIX/.gantrel-ready-2" ]; then
        say "creating the private Wine prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        # Registry first, so that no program ever starts with the default ports.
        "$WINE64" wineboot -i >/dev/null 2>&1 || true
        "$WINE64" regedit /S "$(write_port_registry)" >/dev/null 2>&1
        "$WINESERVER" -k 2>/dev/null || true
        "$WINESERVER" -w 2>/dev/null || true
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
        touch "$WINEPREFIX/.gantrel-ready-2"
    fi
    # A server of our own, with its output kept out of the test log; starting
    # it makes the port links, which are checked before any test runs.
    start_wine || return 1
    check_ports_are_private
}

# A Wine session starts only once its display exists.
require_display() {
    if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
        echo "no usable display (DISPLAY=${DISPLAY:-unset}): a Wine session must not start before its display" >&2
        return 1
    fi
}

# Starts the prefix's Wine server and its services with their output
# discarded: services that a test program started would keep its output
# pipe open after it ends. Fails at once, with the reason, when the session
# cannot make windows, rather than leaving each test to time out.
start_wine() {
    require_display || return 1
    "$WINESERVER" -p >/dev/null 2>&1 || true
    "$WINE64" cmd /c exit >/dev/null 2>&1 || true
    check_wine_session
}

# Whether programs of this session can make windows on its display (the
# window tool makes a utility and a top-level window and says why not).
check_wine_session() {
    local tool=$GANTREL_BUILD/win64/gantrel-window.exe reason
    [ -f "$tool" ] || return 0  # not built yet: nothing to check with
    if ! reason=$("$WINE64" "$tool" check 2>&1); then
        echo "the Wine session of $WINEPREFIX on display $DISPLAY cannot make windows: ${reason:-no reason given}" >&2
        return 1
    fi
}

stop_wine() {
    "$WINESERVER" -k 2>/dev/null || true
}

# A virtual display for anything with windows (24-bit, as the tests expect).
GANTREL_XVFB_PID=
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    # Xvfb picks a free display itself, so parallel runs never collide.
    local numberfile
    numberfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
    GANTREL_XVFB_PID=$!
    for _ in $(seq 1 100); do
        if [ -s "$numberfile" ]; then
            export DISPLAY=":$(tr -d '[:space:]' <"$numberfile")"
            rm -f "$numberfile"
            return 0
        fi
        sleep 0.1
    done
    rm -f "$numberfile"
    echo "Xvfb did not start" >&2
    return 1
}

stop_display() {
    [ -n "$GANTREL_XVFB_PID" ] && kill "$GANTREL_XVFB_PID" 2>/dev/null || true
    GANTREL_XVFB_PID=
}

# --- Simulated controllers ------------------------------------------------

GANTREL_SIM=$GANTREL_BUILD/native/tools/gantrel-sim/gantrel-sim
GANTREL_SIM_PIDS=()
# Where a run keeps its simulators' ready files and logs (a lane has its own).
GANTREL_RUN=${GANTREL_RUN:-$GANTREL_BUILD}

# start_simulator COM1 [options...]: a controller on that port; exports
# GANTREL_SIM_COM1=127.0.0.1:<control port> for the tests.
start_simulator() {
    local port=$1
    shift
    local lower=${port,,}
    local ready=$GANTREL_RUN/sim-$lower.ready
    rm -f "$ready"
    "$GANTREL_SIM" --link "$GANTREL_PORTS/$lower" --control 127.0.0.1:0 --ready-file "$ready" "$@" \
        >"$GANTREL_RUN/sim-$lower.log" 2>&1 &
    GANTREL_SIM_PIDS+=($!)
    for _ in $(seq 1 100); do
        [ -s "$ready" ] && break
        sleep 0.05
    done
    [ -s "$ready" ] || { echo "simulator on $port did not start" >&2; cat "$GANTREL_RUN/sim-$lower.log" >&2; return 1; }
    export "GANTREL_SIM_$port=127.0.0.1:$(awk '{print $2}' "$ready")"
}

# start_handheld_simulator COM3 [options...]: a handheld running Lindrow on
# that port; its control address goes to GANTREL_SIM_COM3 like a controller's.
GANTREL_HANDHELD_SIM=$GANTREL_BUILD/native/tools/lindrow-sim/lindrow-sim

start_handheld_simulator() {
    GANTREL_SIM=$GANTREL_HANDHELD_SIM start_simulator "$@"
}

# Waits for them to end: each removes its link as it goes, which must not
# happen to the link of a simulator started next on the same port.
stop_simulators() {
    for pid in "${GANTREL_SIM_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${GANTREL_SIM_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    GANTREL_SIM_PIDS=()
}

# --- A print server of the tests' own ---------------------------------------

# Wine's printing finds its printers through CUPS (libcups, loaded at run
# time): the first Wine program that loads the spooler lists the queues of
# the server CUPS_SERVER names into the prefix and drops the printers that
# server no longer has. The tests run a CUPS scheduler of their own, whose
# configuration, spool, logs and output all live under $GANTREL_PRINT and
# which listens only on a socket there, with three PDF queues: GantrelPDF
# (A4, the default), GantrelStrip (210 x 148 mm, where one row of two
# tables fits below the header) and GantrelCard (210 x 88 mm, where none
# does). Each job becomes $GANTREL_PRINT_OUT/job-<id>.pdf.
GANTREL_PRINT=$GANTREL_BUILD/print
GANTREL_CUPSD_PID=
# Until a server runs, Wine sees none (and never the machine's own).
export CUPS_SERVER=$GANTREL_PRINT/no-server.sock
export GANTREL_PRINTERS=

# write_print_ppd FILE NAME WIDTH HEIGHT: a PostScript printer with one page
# size (in points, printable to the edges) that takes PostScript as it is.
write_print_ppd() {
    local file=$1 name=$2 w=$3 h=$4
    cat >"$file" <<EOF
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "GANTPDF.PPD"
*Manufacturer: "Gantrel Tests"
*Product: "(PDF)"
*ModelName: "PDF $name"
*ShortNickName: "PDF $name"
*NickName: "PDF $name"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter: "application/postscript 0 -"
*DefaultResolution: 300dpi
*OpenUI *PageSize/Page Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: $name
*PageSize $name: "<</PageSize[$w $h]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: $name
*PageRegion $name: "<</PageSize[$w $h]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: $name
*ImageableArea $name: "0 0 $w $h"
*DefaultPaperDimension: $name
*PaperDimension $name: "$w $h"
EOF
}

start_print_server() {
    stop_print_server
    local p=$GANTREL_PRINT
    rm -rf "$p"
    mkdir -p "$p"/conf "$p"/spool "$p"/tmp "$p"/cache "$p"/state "$p"/log "$p"/out "$p"/bin/backend
    # Closed to others: the scheduler runs such a backend as root.
    install -m 0700 "$GANTREL_ROOT/tools/lib/print-backend.sh" "$p/bin/backend/gantrelpdf"
    # The scheduler's own helpers (cups-exec starts every backend).
    ln -s /usr/lib/cups/daemon "$p/bin/daemon"
    ln -s /usr/lib/cups/notifier "$p/bin/notifier"
    cat >"$p/conf/cups-files.conf" <<EOF
ServerRoot $p/conf
ServerBin $p/bin
RequestRoot $p/spool
TempDir $p/tmp
CacheDir $p/cache
StateDir $p/state
AccessLog $p/log/access_log
ErrorLog $p/log/error_log
PageLog $p/log/page_log
Printcap $p/state/printcap
SystemGroup root
FileDevice No
EOF
    cat >"$p/conf/cupsd.conf" <<EOF
LogLevel info
Listen $p/cups.sock
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    /usr/sbin/cupsd -f -c "$p/conf/cupsd.conf" -s "$p/conf/cups-files.conf" >"$p/log/cupsd.out" 2>&1 &
    GANTREL_CUPSD_PID=$!
    echo "$GANTREL_CUPSD_PID" >"$p/server.pid"
    for _ in $(seq 1 100); do
        [ -S "$p/cups.sock" ] && break
        sleep 0.1
    done
    if [ ! -S "$p/cups.sock" ]; then
        echo "the print server did not start" >&2
        cat "$p/log/cupsd.out" "$p/log/error_log" >&2 2>/dev/null
        return 1
    fi
    write_print_ppd "$p/a4.ppd" A4 595 842
    write_print_ppd "$p/strip.ppd" Strip 595 420
    write_print_ppd "$p/card.ppd" Card 595 250
    local admin=(/usr/sbin/lpadmin -h "$p/cups.sock")
    {
        "${admin[@]}" -p GantrelPDF -E -v "gantrelpdf:$p/out" -P "$p/a4.ppd" &&
            "${admin[@]}" -p GantrelStrip -E -v "gantrelpdf:$p/out" -P "$p/strip.ppd" &&
            "${admin[@]}" -p GantrelCard -E -v "gantrelpdf:$p/out" -P "$p/card.ppd" &&
            "${admin[@]}" -d GantrelPDF
    } 2> >(grep -v "drivers are deprecated" >&2) || { echo "the print queues were not set up" >&2; return 1; }
    export CUPS_SERVER=$p/cups.sock
    export GANTREL_PRINT_OUT=$p/out
    export GANTREL_PRINTERS="GantrelPDF GantrelStrip GantrelCard"
}

# Stops the server this shell started, or one an interrupted run left
# behind; from then on Wine sees no printer.
stop_print_server() {
    if [ -n "$GANTREL_CUPSD_PID" ]; then
        kill "$GANTREL_CUPSD_PID" 2>/dev/null || true
        wait "$GANTREL_CUPSD_PID" 2>/dev/null || true
    elif [ -f "$GANTREL_PRINT/server.pid" ]; then
        local pid
        pid=$(cat "$GANTREL_PRINT/server.pid")
        # Only while it is still ours: a scheduler on this configuration.
        if grep -qs "$GANTREL_PRINT/conf/cupsd.conf" "/proc/$pid/cmdline"; then
            kill "$pid" 2>/dev/null || true
            for _ in $(seq 1 50); do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.1
            done
        fi
    fi
    rm -f "$GANTREL_PRINT/server.pid"
    GANTREL_CUPSD_PID=
    export CUPS_SERVER=$GANTREL_PRINT/no-server.sock
    export GANTREL_PRINTERS=
    unset GANTREL_PRINT_OUT
}

# --- Lanes: test runs side by side ------------------------------------------

# Runs a Windows test executable under Wine with its exception and heap
# errors on. An exception inside a window procedure or hook is ignored
# where the platform calls back into the program (Windows does the same),
# so the run goes on and may pass: Wine's notice of it fails the run here.
wine_test() {
    local name log status=0
    name=$(basename "$1" .exe)
    log=$GANTREL_RUN/$name.wine.log
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

# A lane is a private prefix of its own (the main prefix copied, its files
# linked rather than copied, with its COM ports led into a ports folder of
# its own), a virtual display of its own and simulators of its own, so that
# runs in different lanes never share a port, a window or a Wine server.
# The main prefix must exist and its server be stopped (its registry saved).
make_lane() {
    local lane=$GANTREL_BUILD/lanes/$1
    rm -rf "$lane"
    mkdir -p "$lane/ports" "$lane/wineprefix"
    cp -al "$WINEPREFIX/drive_c" "$lane/wineprefix/"
    cp -a "$WINEPREFIX"/*.reg "$WINEPREFIX/.update-timestamp" "$WINEPREFIX/.gantrel-ready-2" "$WINEPREFIX/dosdevices" \
        "$lane/wineprefix/"
    sed -i "s|\"$GANTREL_PORTS/com|\"$lane/ports/com|" "$lane/wineprefix/system.reg"
    local link
    for link in "$lane/wineprefix/dosdevices"/com*; do
        ln -sfn "$lane/ports/$(basename "$link")" "$link"
    done
}

# run_in_lane N LOG command...: runs the command in lane N (made first), its
# output in LOG; in the background when the caller puts it there.
run_in_lane() {
    local n=$1 log=$2
    shift 2
    make_lane "$n"
    (
        export GANTREL_RUN=$GANTREL_BUILD/lanes/$n
        export WINEPREFIX=$GANTREL_RUN/wineprefix
        GANTREL_PORTS=$GANTREL_RUN/ports
        GANTREL_SIM_PIDS=()
        GANTREL_XVFB_PID=
        unset DISPLAY
        trap 'stop_simulators; stop_wine; stop_display' EXIT
        ensure_display || exit 1
        start_wine || exit 1
        check_ports_are_private || exit 1
        "$@"
    ) >"$log" 2>&1
}

# What the window tests talk to: controllers on COM1 and COM4, the handheld
# on COM3.
start_test_simulators() {
    start_simulator COM1 --version 105
    start_handheld_simulator COM3
    start_simulator COM4 --version 105
}

# The main window's tests (gtest options after the name) against
# controllers on COM1 and COM4 and the handheld on COM3.
app_tests_with_simulators() {
    start_test_simulators
    wine_test "$GANTREL_BUILD/win64/app-tests.exe" --gtest_brief=1 "$@"
}

# The main window's tests take minutes of paced serial traffic: they run in
# lanes side by side, split by suite; the last lane takes every suite not
# named here, the printing tests among them.
GANTREL_APP_LANES=(
    'EveryGeneration/*:MainWindowTest.*:ProgramTest.*:LoggingTest.*:FreshStartTest.*:TableSetTest.*'
    'TransferTest.*:ResetTest.*:O2Test.*:EveryControllerGeneration/*:LiveValueTest.*:CountDifferences.*'
)

# The gtest filter of app lane i (0-based), the last one included.
app_lane_filter() {
    local i=$1
    if [ "$i" -lt ${#GANTREL_APP_LANES[@]} ]; then
        echo "${GANTREL_APP_LANES[$i]}"
    else
        local IFS=:
        echo "-${GANTREL_APP_LANES[*]}"
    fi
}

# --- The shipped 32-bit build ---------------------------------------------

# The 64-bit prefix runs 32-bit programs too (Wine's WoW64, with wine32
# installed), so the 32-bit runs share the private prefix and its ports.
GANTREL_QEMU_I386=/usr/bin/qemu-i386-static
GANTREL_BINFMT=/proc/sys/fs/binfmt_misc
# Under QEMU, 32-bit programs get the 3 GB address space a 32-bit kernel
# gives them, the layout 32-bit Wine is made for.
export QEMU_RESERVED_VA=0xc0000000

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi
}

# Whether 32-bit programs run here. A kernel without 32-bit support runs
# them through QEMU: Debian registers no i386 entry on amd64, so this does,
# as root. Sets GANTREL_I386_UNAVAILABLE to the reason when they cannot run.
GANTREL_I386_UNAVAILABLE=
ensure_i386_execution() {
    GANTREL_I386_UNAVAILABLE=
    if [ ! -x "$WINE32" ]; then
        GANTREL_I386_UNAVAILABLE="32-bit Wine ($WINE32, package wine32:i386) is not installed"
        return 1
    fi
    "$WINE32" --version >/dev/null 2>&1 && return 0
    if [ ! -x "$GANTREL_QEMU_I386" ]; then
        GANTREL_I386_UNAVAILABLE="this kernel runs no 32-bit programs and $GANTREL_QEMU_I386 (qemu-user-static) is missing"
        return 1
    fi
    if [ "$(id -u)" -ne 0 ] && ! sudo -n true 2>/dev/null; then
        GANTREL_I386_UNAVAILABLE="this kernel runs no 32-bit programs, and registering QEMU for them needs root"
        return 1
    fi
    if [ ! -e "$GANTREL_BINFMT/register" ] &&
        ! as_root mount -t binfmt_misc binfmt_misc "$GANTREL_BINFMT" 2>/dev/null; then
        GANTREL_I386_UNAVAILABLE="this kernel runs no 32-bit programs and binfmt_misc could not be mounted on $GANTREL_BINFMT"
        return 1
    fi
    if [ -e "$GANTREL_BINFMT/qemu-i386" ]; then
        as_root sh -c "echo 1 >'$GANTREL_BINFMT/qemu-i386'" 2>/dev/null || true
    else
        # Any i386 ELF executable (as QEMU's own binfmt set-up matches them).
        local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
        local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
        printf '%s' ":qemu-i386:M::$magic:$mask:$GANTREL_QEMU_I386:F" |
            as_root tee "$GANTREL_BINFMT/register" >/dev/null 2>&1 || true
    fi
    if ! "$WINE32" --version >/dev/null 2>&1; then
        GANTREL_I386_UNAVAILABLE="this kernel runs no 32-bit programs and registering $GANTREL_QEMU_I386 with binfmt_misc did not help"
        return 1
    fi
}

# The smoke test of the shipped build, then its tests (a lane of its own).
i686_smoke_test_and_tests() {
    # The 32-bit Wine has no print client here: it is shown no print server.
    export CUPS_SERVER=$GANTREL_PRINT/no-server.sock GANTREL_PRINTERS=
    unset GANTREL_PRINT_OUT
    smoke_test_shipped_build || return 1
    stop_simulators
    run_i686_tests
}

# The shipped Gantrel.exe as a user starts it: in a folder of its own, with
# a map file named on its command line and a controller (paced at 2400 baud)
# on COM1. The main window must come up with the map loaded, the live values
# must keep arriving (the simulator's transcript counts the polls), and
# closing the window must end the program and write its settings file.
# Leaves a picture of the window in build/artifacts/i686-main-window.bmp.
smoke_test_shipped_build() {
    local dir=$GANTREL_BUILD/i686-smoke caption="Gantrel Control Center"
    local window=$GANTREL_BUILD/win64/gantrel-window.exe
    local transcript=$dir/sim-transcript.txt shot=$GANTREL_BUILD/artifacts/i686-main-window.bmp
    local started pid polls before after
    rm -rf "$dir"
    mkdir -p "$dir" "$(dirname "$shot")"
    cp "$GANTREL_BUILD/win32/Gantrel.exe" "$GANTREL_ROOT/tests/fuzz/seeds/four-tables.map" "$dir/"
    # The controller's port chosen, as after the first run.
    printf '[ComPort]\r\nPort=1\r\n' >"$dir/Gantrel.ini"
    start_simulator COM1 --transcript "$transcript" || return 1

    started=$(date +%s)
    (cd "$dir" && exec "$WINE64" Gantrel.exe "Z:${dir//\//\\}\\four-tables.map") >"$dir/wine.log" 2>&1 &
    pid=$!
    smoke_fail() {
        echo "i686 smoke test: $*" >&2
        kill "$pid" 2>/dev/null || true
        return 1
    }
    # Waited for in steps, so that a program that ended fails at once.
    local up=0
    while [ $(($(date +%s) - started)) -lt 300 ]; do
        if "$WINE64" "$window" wait "$caption" 5 >/dev/null 2>&1; then up=1; break; fi
        kill -0 "$pid" 2>/dev/null || { smoke_fail "Gantrel.exe ended before its window came up (see $dir/wine.log)"; return 1; }
    done
    [ "$up" = 1 ] || { smoke_fail "the main window did not come up within 300 s"; return 1; }
    echo "main window up after $(($(date +%s) - started)) s"
    local loaded=0
    for _ in $(seq 1 60); do
        if "$WINE64" "$window" enabled "$caption" "&Save File" 2>/dev/null; then loaded=1; break; fi
        sleep 1
    done
    [ "$loaded" = 1 ] || { smoke_fail "the map named on the command line was not loaded"; return 1; }

    # Polls counted twice, well apart: the monitor keeps asking.
    polls() { grep -c ' 82$' "$transcript" 2>/dev/null || true; }
    before=$(polls)
    sleep 10
    after=$(polls)
    echo "live-value polls: $before when the map was shown, $after ten seconds later"
    [ "$after" -ge $((before + 10)) ] || { smoke_fail "the live values stopped arriving"; return 1; }
    "$WINE64" "$window" shot "$caption" "Z:${shot//\//\\}" || { smoke_fail "no picture of the window"; return 1; }

    "$WINE64" "$window" close "$caption" 120 || { smoke_fail "closing the main window did not end the program"; return 1; }
    wait "$pid" 2>/dev/null || true
    grep -q '^Width=638' "$dir/Gantrel.ini" && grep -q '^MapDir=' "$dir/Gantrel.ini" ||
        { smoke_fail "closing did not write the settings to Gantrel.ini"; return 1; }
    echo "closed and settings written after $(($(date +%s) - started)) s in all (picture: $shot)"
}

# The shipped build's own tests, where calling conventions, structure sizes
# and pointer widths differ from the 64-bit runs. Under QEMU, 32-bit Wine's
# signal handling goes wrong once a process has more than one thread: a
# signal can leave a thread on another thread's server pipes (it waits for
# ever) or kill the process at a fault Wine would have handled. A plain Win32
# program that opens the real open dialog hangs the same way, and the 64-bit
# runs of the same tests never do. So this runs what does not lean on that:
# the core's tests and the settings, language and map file tests (not the
# serial link's, whose overlapped I/O completes through such signals; the
# smoke test above drives the link of the shipped program), and the
# framework's tests in two processes, with the suites that start threads of
# their own (workers, the font and print dialogs) in the second. The real
# file dialog's tests stay with the 64-bit run, and so does printing to the
# tests' print server, which has stopped by then.
GANTREL_I686_TIMEOUT=${GANTREL_I686_TIMEOUT:-300}
GANTREL_I686_THREAD_SUITES='ThreadTest.*:ServicesFontDialog.*:ServicesPrintDialog.*:ServicesPrinter.*'
GANTREL_I686_LEFT_OUT='ServicesFileDialog.*:ServicesPrinting.*'
GANTREL_I686_LINK_SUITES='ComPortTest.*:ComPortQueueTest.*:ComPortClosedTest.*:ControllerConfigurationTest.*'
run_i686_test() {
    local started=$SECONDS status=0
    timeout "$GANTREL_I686_TIMEOUT" "$WINE64" "$@" || status=$?
    if [ "$status" -eq 124 ]; then
        echo "$(basename "$1") did not finish within $GANTREL_I686_TIMEOUT s" >&2
    fi
    echo "($((SECONDS - started)) s)"
    return "$status"
}

run_i686_tests() {
    say "32-bit core, settings, language and map file tests"
    run_i686_test "$GANTREL_BUILD/win32/gantrel-win-tests.exe" --gtest_brief=1 \
        --gtest_filter="-$GANTREL_I686_LINK_SUITES" || return 1
    say "32-bit framework tests (all but $GANTREL_I686_LEFT_OUT and the suites with threads of their own)"
    run_i686_test "$GANTREL_BUILD/win32/framework-tests.exe" --gtest_brief=1 \
        --gtest_filter="-$GANTREL_I686_LEFT_OUT:$GANTREL_I686_THREAD_SUITES" || return 1
    say "32-bit framework tests with threads of their own"
    run_i686_test "$GANTREL_BUILD/win32/framework-tests.exe" --gtest_brief=1 \
        --gtest_filter="$GANTREL_I686_THREAD_SUITES" || return 1
    say "32-bit skin library tests"
    run_i686_test "$GANTREL_BUILD/win32/skin-tests.exe" --gtest_brief=1 || return 1
}
