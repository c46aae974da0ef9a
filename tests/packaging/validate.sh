#!/bin/sh
# Runs the freedesktop validators on an installed tree. Exits 77 (reported
# by CTest as skipped) when the validator is not installed.
#
# Usage: validate.sh desktop|metainfo PREFIX_DIR
set -eu
what=$1
root=$2
case $what in
desktop)
    tool=desktop-file-validate
    set -- "$root/share/applications/tarvex.desktop"
    ;;
metainfo)
    tool=appstreamcli
    # validate-tree also checks that the metainfo's launchable names a desktop
    # entry in the same tree and that the application has its icons.
    set -- validate-tree --no-net "$root"
    ;;
*)
    echo "validate.sh: unknown check '$what'" >&2
    exit 2
    ;;
esac
if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (Debian: tools/install-deps.sh installs it)"
    exit 77
fi
# desktop-file-validate reports hints and warnings on stdout but exits 0 for
# them; a clean file prints nothing, so any output counts as a finding.
out=$("$tool" "$@" 2>&1) && rc=0 || rc=$?
printf '%s\n' "$out"
if [ "$rc" -ne 0 ]; then
    exit 1
fi
if [ "$what" = desktop ] && [ -n "$out" ]; then
    exit 1
fi
exit 0
