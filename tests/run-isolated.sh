#!/bin/sh
# Runs one test program with a private home and private XDG folders, headless.
set -eu
root=$(mktemp -d "${TMPDIR:-/tmp}/tarvex-test.XXXXXX")
trap 'rm -rf "$root"' EXIT INT TERM
mkdir -p "$root/home" "$root/config" "$root/data" "$root/cache" "$root/state" "$root/runtime"
chmod 700 "$root/runtime"
export HOME="$root/home"
export XDG_CONFIG_HOME="$root/config"
export XDG_DATA_HOME="$root/data"
export XDG_CACHE_HOME="$root/cache"
export XDG_STATE_HOME="$root/state"
export XDG_RUNTIME_DIR="$root/runtime"
export XDG_DATA_DIRS="$root/data:/usr/share"
export QT_QPA_PLATFORM=offscreen
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
"$@"
