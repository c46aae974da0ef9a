#!/bin/bash
# The program as a user runs it, measured from outside with the system's
# own tools: time from start to the first shown window, resident memory
# with 1 and with 10 quote pages open, and the CPU it uses while idle
# between refresh passes. Runs on a private X server (Xvfb), with a private
# HOME and profile, against the companion quote server on loopback.
#
#   bench/program.sh [BUILD_DIR]      (default build-bench)
#
# Needs Xvfb, xdotool and xwininfo. Figures go to standard output as
# "name value" lines; BENCHMARKS.md says how to read them.
set -euo pipefail

BUILD=${1:-build-bench}
TARVEX=$(realpath "$BUILD/app/tarvex")
SERVER=$(realpath "$BUILD/quoteserver/tarvex-quoteserver")
STARTS=${TARVEX_BENCH_STARTS:-7}
IDLE_SECONDS=${TARVEX_BENCH_IDLE_SECONDS:-30}
SYMBOLS_PER_PAGE=30

for tool in Xvfb xdotool xwininfo; do
    command -v "$tool" >/dev/null || { echo "program.sh: $tool is missing (see tools/install-deps.sh)" >&2; exit 1; }
done

WORK=$(mktemp -d /tmp/tarvex-program-XXXXXX)
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config XDG_DATA_HOME=$WORK/data
export XDG_RUNTIME_DIR=$WORK/run XDG_CACHE_HOME=$WORK/cache
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM http_proxy https_proxy all_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY

# --- the companion server, and a profile that points at it
"$SERVER" --port 0 --seed 1 > "$WORK/server.out" 2> "$WORK/server.log" &
PIDS+=($!)
for _ in $(seq 100); do
    grep -q '^listening on' "$WORK/server.out" 2>/dev/null && break
    sleep 0.05
done
HOST=$(sed -n 's/^listening on \(127\.0\.0\.1:[0-9]*\)$/\1/p' "$WORK/server.out")
[ -n "$HOST" ] || { echo "program.sh: the quote server did not start" >&2; exit 1; }
printf '[Server]\nHost=%s\n' "$HOST" > "$XDG_CONFIG_HOME/tarvex.ini"

# --- ten quote pages of 30 made-up symbols each (count as 2 bytes
# little-endian, then each symbol as a length byte and its bytes)
byte() { printf "\\$(printf '%03o' "$1")"; }
for page in $(seq 1 10); do
    {
        byte $SYMBOLS_PER_PAGE
        byte 0
        for n in $(seq 1 $SYMBOLS_PER_PAGE); do
            sym=$(printf 'P%02dS%02d' "$page" "$n")
            byte ${#sym}
            printf '%s' "$sym"
        done
    } > "$WORK/page$page.quo"
done

# --- a private X server
DISPLAY_NUMBER=$((90 + RANDOM % 400))
while [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ] || [ -e "/tmp/.X$DISPLAY_NUMBER-lock" ]; do
    DISPLAY_NUMBER=$((DISPLAY_NUMBER + 1))
done
Xvfb ":$DISPLAY_NUMBER" -screen 0 1280x1024x24 -nolisten tcp > "$WORK/xvfb.log" 2>&1 &
PIDS+=($!)
export DISPLAY=":$DISPLAY_NUMBER"
for _ in $(seq 100); do
    xwininfo -root >/dev/null 2>&1 && break
    sleep 0.05
done

now_ns() { date +%s%N; }

# The main window: mapped and viewable, named "Tarvex - <page>".
find_main_window() {
    { xdotool search --onlyvisible --name '^Tarvex( - .*)?$' 2>/dev/null || true; } | head -n 1
}

rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# utime + stime of a process, in clock ticks
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

stop_program() {
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# --- 1. start to first shown window, several starts, median
STARTUP_MS=()
for run in $(seq 1 "$STARTS"); do
    t0=$(now_ns)
    "$TARVEX" "$WORK/page1.quo" > "$WORK/tarvex.out" 2>&1 &
    pid=$!
    wid=""
    for _ in $(seq 2000); do
        wid=$(find_main_window)
        [ -n "$wid" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.002
    done
    t1=$(now_ns)
    [ -n "$wid" ] || { echo "program.sh: no window appeared" >&2; cat "$WORK/tarvex.out" >&2; exit 1; }
    STARTUP_MS+=($(( (t1 - t0) / 1000000 )))
    if [ "$run" -lt "$STARTS" ]; then
        stop_program "$pid"
    fi
done
echo "startup_ms_median $(printf '%s\n' "${STARTUP_MS[@]}" | median)"
echo "startup_ms_all ${STARTUP_MS[*]}"

# The last start stays up for the rest.
PIDS+=("$pid")
WID=$wid

# Lets the program finish what a change set off (the refresh, the repaint).
settle() { sleep "${1:-3}"; }

# --- 2. resident memory with one page (refreshed: 30 quotes shown)
settle 3
echo "rss_kib_1_page $(rss_kib "$pid")"

# Opens a page through File > Open, typing its path into the dialog.
open_page() {
    local file=$1 dialog=""
    xdotool windowfocus --sync "$WID" 2>/dev/null || true
    xdotool key --clearmodifiers ctrl+o
    for _ in $(seq 500); do
        dialog=$({ xdotool search --onlyvisible --name '^Open' 2>/dev/null || true; } | head -n 1)
        [ -n "$dialog" ] && break
        sleep 0.01
    done
    [ -n "$dialog" ] || { echo "program.sh: the Open dialog did not appear" >&2; return 1; }
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    sleep 0.2
    xdotool type --delay 2 "$file"
    xdotool key Return
    for _ in $(seq 500); do
        case "$(xdotool getwindowname "$WID" 2>/dev/null || true)" in
            *"$(basename "$file")"*) return 0 ;;
        esac
        sleep 0.01
    done
    echo "program.sh: $(basename "$file") did not open" >&2
    return 1
}

for page in $(seq 2 10); do
    open_page "$WORK/page$page.quo"
done
settle 3
echo "rss_kib_10_pages $(rss_kib "$pid")"
echo "requests_served $(grep -c ' GET ' "$WORK/server.log" || true)"

# --- 3. CPU while idle between passes (the update rate is 10 minutes)
ticks0=$(cpu_ticks "$pid")
sleep "$IDLE_SECONDS"
ticks1=$(cpu_ticks "$pid")
hz=$(getconf CLK_TCK)
echo "idle_cpu_ticks $((ticks1 - ticks0)) in ${IDLE_SECONDS}s (1 tick = 1/${hz} s)"
echo "idle_cpu_percent $(awk -v t=$((ticks1 - ticks0)) -v hz="$hz" -v s="$IDLE_SECONDS" 'BEGIN { printf "%.3f", 100 * t / hz / s }')"
