# Shared by the test and run scripts: packages, builds, the private Wine
# prefix with its COM ports, and the simulated controllers.
# shellcheck shell=bash

GANTREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
GANTREL_BUILD=${GANTREL_BUILD:-$GANTREL_ROOT/build}
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

# Everything the builds and tests need on a fresh Debian 12.
GANTREL_PACKAGES=(
    cmake ninja-build clang libclang-rt-14-dev googletest
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine64 xvfb xauth x11-utils fonts-wine
)

say() { printf '\n== %s\n' "$*"; }

ensure_packages() {
    local missing=()
    for p in "${GANTREL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build <name> [cmake options...]
build_tree() {
    local name=$1
    shift
    cmake -S "$GANTREL_ROOT" -B "$GANTREL_BUILD/$name" -G Ninja "$@" >/dev/null
    ninja -C "$GANTREL_BUILD/$name" >/dev/null
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

ensure_wine_prefix() {
    mkdir -p "$GANTREL_PORTS"
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
    "$WINESERVER" -p >/dev/null 2>&1 || true
    "$WINE64" cmd /c exit >/dev/null 2>&1 || true
    check_ports_are_private
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

# start_simulator COM1 [options...]: a controller on that port; exports
# GANTREL_SIM_COM1=127.0.0.1:<control port> for the tests.
start_simulator() {
    local port=$1
    shift
    local lower=${port,,}
    local ready=$GANTREL_BUILD/sim-$lower.ready
    rm -f "$ready"
    "$GANTREL_SIM" --link "$GANTREL_PORTS/$lower" --control 127.0.0.1:0 --ready-file "$ready" "$@" \
        >"$GANTREL_BUILD/sim-$lower.log" 2>&1 &
    GANTREL_SIM_PIDS+=($!)
    for _ in $(seq 1 100); do
        [ -s "$ready" ] && break
        sleep 0.05
    done
    [ -s "$ready" ] || { echo "simulator on $port did not start" >&2; cat "$GANTREL_BUILD/sim-$lower.log" >&2; return 1; }
    export "GANTREL_SIM_$port=127.0.0.1:$(awk '{print $2}' "$ready")"
}

# start_handheld_simulator COM3 [options...]: a handheld running Lindrow on
# that port; its control address goes to GANTREL_SIM_COM3 like a controller's.
GANTREL_HANDHELD_SIM=$GANTREL_BUILD/native/tools/lindrow-sim/lindrow-sim

start_handheld_simulator() {
    GANTREL_SIM=$GANTREL_HANDHELD_SIM start_simulator "$@"
}

stop_simulators() {
    for pid in "${GANTREL_SIM_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    GANTREL_SIM_PIDS=()
}
