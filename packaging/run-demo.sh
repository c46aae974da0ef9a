#!/bin/bash
# Starts the companion quote server on 127.0.0.1:8642, where Tarvex looks by
# default, and opens Tarvex on a sample quote page against it. The server is
# stopped when Tarvex exits. A companion server that already listens there is
# used as it is and left running.
#
# Usage: packaging/run-demo.sh [BUILD_DIR [QUOTE_PAGE]]
#        (defaults: build, examples/tech.quo; `make run` calls this)
set -eu

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
page=${2:-$top/examples/tech.quo}
server=$build/quoteserver/tarvex-quoteserver
app=$build/app/tarvex
port=8642

die() {
    echo "run-demo: $*" >&2
    exit 1
}

[ -x "$server" ] || die "$server not found; build first (make programs)"
[ -x "$app" ] || die "$app not found; build first (make programs)"
[ -f "$page" ] || die "no quote page $page"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    die "no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set)"
fi

# True when the companion quote server answers on the port: its reply to a
# quote query names the simulated market.
companion_listening() {
    timeout 3 bash -c '
        exec 3<>/dev/tcp/127.0.0.1/'"$port"' || exit 1
        printf "GET /cgi-bin/squote.exe?SOURCE=msn&format=fraction&tables=table&TICKER=ACME HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n" >&3
        grep -q "simulated market" <&3' 2>/dev/null
}

# A child that has exited stays a zombie until waited for, and kill -0
# still finds it.
running() {
    local state
    state=$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tarvex-demo.XXXXXX")
server_pid=""
# shellcheck disable=SC2317 # called from the traps
cleanup() {
    if [ -n "$server_pid" ]; then
        kill -TERM "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
        server_pid=""
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A companion server already there is used as it is. Ask before binding:
# the port may be shared, so a second server could start beside the first.
if companion_listening; then
    echo "run-demo: using the quote server already running on 127.0.0.1:$port"
else
    "$server" --bind 127.0.0.1 --port "$port" >"$tmp/out" 2>"$tmp/log" &
    server_pid=$!
    # The server's first line says it listens; give it at most 5 seconds.
    listening=""
    for _ in $(seq 50); do
        listening=$(head -n 1 "$tmp/out")
        [ -n "$listening" ] && break
        running "$server_pid" || break
        sleep 0.1
    done
    if [ -z "$listening" ]; then
        running "$server_pid" && die "the quote server did not report that it listens within 5 seconds"
        cat "$tmp/log" >&2
        die "port $port on 127.0.0.1 is taken by another program; stop it, or run
  tarvex-quoteserver --port N and set Host=127.0.0.1:N under [Server] in
  ${XDG_CONFIG_HOME:-$HOME/.config}/tarvex.ini"
    fi
    echo "run-demo: quote server $listening (stops when Tarvex exits)"
fi

# The demo leaves the user's profile alone; say so when it points elsewhere.
profile=${XDG_CONFIG_HOME:-$HOME/.config}/tarvex.ini
if [ -f "$profile" ]; then
    host=$(sed -n '/^\[Server\]/,/^\[/s/^Host=//p' "$profile" | head -n 1 | tr -d '\r')
    case $host in
    '' | "127.0.0.1:$port" | "localhost:$port") ;;
    *) echo "run-demo: note: $profile sets Host=$host, so Tarvex asks that server, not this one" >&2 ;;
    esac
fi

"$app" "$page" && status=0 || status=$?
exit "$status"
