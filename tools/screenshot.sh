#!/bin/bash
# Takes the README's screenshot: Tarvex on two sample pages with live quotes
# from the companion server, on a private X server (Xvfb), cropped to the
# main window. Runs with a private HOME and profile, so it touches none of
# the user's settings and needs no free port 8642.
#
# Usage: tools/screenshot.sh [BUILD_DIR [OUTPUT_PNG]]
#        (defaults: build, docs/screenshot.png)
# Needs: xvfb, x11-utils (xwininfo), imagemagick.
set -eu

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
out=${2:-$top/docs/screenshot.png}
server=$build/quoteserver/tarvex-quoteserver
app=$build/app/tarvex
# The real ImageMagick, whatever a PATH entry earlier on might shadow it with.
import=/usr/bin/import
convert=/usr/bin/convert

die() {
    echo "screenshot: $*" >&2
    exit 1
}
for tool in Xvfb xwininfo "$import" "$convert"; do
    command -v "$tool" >/dev/null 2>&1 || die "$tool not found (Debian: xvfb x11-utils imagemagick)"
done
if [ ! -x "$server" ] || [ ! -x "$app" ]; then
    die "build first (make programs): no $server or $app"
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tarvex-shot.XXXXXX")
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# wait_for SECONDS COMMAND...: polls every 0.1 s until COMMAND succeeds.
wait_for() {
    local tries=$(($1 * 10))
    shift
    while ! "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}
has_line() { [ -s "$1" ] && head -n 1 "$1" | grep -q .; }

mkdir -p "$tmp/home" "$tmp/config" "$tmp/data" "$tmp/cache" "$tmp/runtime"
chmod 700 "$tmp/runtime"
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data
export XDG_CACHE_HOME=$tmp/cache XDG_RUNTIME_DIR=$tmp/runtime
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8
unset WAYLAND_DISPLAY http_proxy https_proxy all_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY

# Xvfb picks a free display number itself and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x720x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
pids+=($!)
wait_for 10 has_line "$tmp/display" || { cat "$tmp/xvfb.log" >&2; die "Xvfb did not start"; }
DISPLAY=:$(head -n 1 "$tmp/display")
export DISPLAY

"$server" --port 0 --seed 7 >"$tmp/server.out" 2>"$tmp/server.log" &
pids+=($!)
wait_for 5 has_line "$tmp/server.out" || die "the quote server did not start"
hostport=$(sed -n '1s/^listening on //p' "$tmp/server.out")
printf '[Server]\nHost=%s\n' "$hostport" >"$XDG_CONFIG_HOME/tarvex.ini"
echo "screenshot: display $DISPLAY, quote server $hostport"

cd "$top"
"$app" examples/tech.quo >"$tmp/app.log" 2>&1 &
pids+=($!)
sleep 3
kill -0 "${pids[2]}" 2>/dev/null || { cat "$tmp/app.log" >&2; die "tarvex ended early"; }
# A second start hands its page to the running instance and ends.
if ! timeout 5 "$app" examples/energy.quo >>"$tmp/app.log" 2>&1; then
    echo "screenshot: the second start did not hand examples/energy.quo over; the picture shows one page" >&2
fi
sleep 1
# A handed-over page fills in at the next refresh: Edit > Update, then
# Window > Tile so both pages show.
if command -v xdotool >/dev/null 2>&1; then
    for keys in alt+e u alt+w t; do
        xdotool key "$keys"
        sleep 0.5
    done
fi
sleep 2

# The main window: the largest of the program's top-level windows (Qt also
# keeps a few tiny hidden ones).
geometry=$(xwininfo -root -children | grep -i '"tarvex"' \
    | grep -oE '[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+' \
    | awk -F'[x+]' '{ print $1 * $2, $0 }' | sort -n | tail -n 1 | cut -d' ' -f2)
[ -n "$geometry" ] || die "no window on the screen"
echo "screenshot: window $geometry"
"$import" -display "$DISPLAY" -window root "$tmp/root.png"
mkdir -p "$(dirname "$out")"
"$convert" "$tmp/root.png" -crop "$geometry" +repage -strip "$out"
echo "screenshot: wrote $out"
