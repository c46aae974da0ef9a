#!/bin/sh
# Installs the build into a staging folder (prefix /usr) and checks what
# landed there: exactly the expected files, and desktop entry, MIME type,
# icons, metainfo and user unit that agree with each other.
#
# Usage: check-install.sh BUILD_DIR STAGE_DIR
set -eu
build=$1
stage=$2
here=$(cd "$(dirname "$0")" && pwd)
prefix=/usr
root=$stage$prefix

fail=0
bad() {
    echo "FAIL: $*" >&2
    fail=1
}

rm -rf "$stage"
mkdir -p "$root"
DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >"$stage.log" 2>&1 || {
    cat "$stage.log" >&2
    echo "FAIL: cmake --install" >&2
    exit 1
}

expected=$(grep -v -e '^#' -e '^$' "$here/expected-files.txt" | LC_ALL=C sort)
(cd "$root" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort) >"$stage.actual"
outside=$(cd "$stage" && find . \( -type f -o -type l \) ! -path "./${prefix#/}/*")
[ -z "$outside" ] || bad "installed outside $prefix: $outside"
missing=$(printf '%s\n' "$expected" | LC_ALL=C comm -23 - "$stage.actual")
extra=$(printf '%s\n' "$expected" | LC_ALL=C comm -13 - "$stage.actual")
[ -z "$missing" ] || bad "missing from the installation:
$missing"
[ -z "$extra" ] || bad "not expected in the installation:
$extra"
for f in $expected; do
    [ -s "$root/$f" ] || [ ! -e "$root/$f" ] || bad "$f is empty"
done

for exe in tarvex tarvex-quoteserver; do
    [ -x "$root/bin/$exe" ] || bad "bin/$exe is not executable"
done
"$root/bin/tarvex-quoteserver" --help | grep -q -- '--port' || bad "installed tarvex-quoteserver --help"

# PNG width and height sit big-endian at bytes 16..23.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", (($1*256+$2)*256+$3)*256+$4, (($5*256+$6)*256+$7)*256+$8 }'
}
for size in 16 32 48; do
    for f in "apps/tarvex.png" "mimetypes/application-x-tarvex-quote-page.png"; do
        png=$root/share/icons/hicolor/${size}x$size/$f
        [ -f "$png" ] || continue
        got=$(png_size "$png")
        [ "$got" = "${size}x$size" ] || bad "${size}x$size/$f is $got pixels"
    done
done

value() { # file key: first value of key= in a key file
    sed -n "s/^$2=//p" "$1" | head -n 1
}
desktop=$root/share/applications/tarvex.desktop
mimexml=$root/share/mime/packages/tarvex.xml
if [ -f "$desktop" ] && [ -f "$mimexml" ]; then
    exec_bin=$(value "$desktop" Exec | cut -d' ' -f1)
    [ -x "$root/bin/$exec_bin" ] || bad "desktop Exec names '$exec_bin', not an installed program"
    value "$desktop" Exec | grep -q ' %[fFuU]' || bad "desktop Exec takes no file, so opening a .quo from a file manager starts an empty page"
    icon=$(value "$desktop" Icon)
    [ -f "$root/share/icons/hicolor/scalable/apps/$icon.svg" ] || bad "no scalable icon for desktop Icon=$icon"
    type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$mimexml")
    [ "$type" = application/x-tarvex-quote-page ] || bad "MIME type is '$type'"
    [ "$(value "$desktop" MimeType)" = "$type;" ] || bad "desktop MimeType does not name $type"
    grep -q '<comment>Tarvex Document</comment>' "$mimexml" || bad "MIME comment is not 'Tarvex Document'"
    mimeicon=$(sed -n 's/.*<icon name="\([^"]*\)".*/\1/p' "$mimexml")
    for size in 16x16 32x32 48x48; do
        [ -f "$root/share/icons/hicolor/$size/mimetypes/$mimeicon.png" ] || bad "no $size icon for MIME icon '$mimeicon'"
    done
    # The file type must come out of the real database compiler, globs included.
    if command -v update-mime-database >/dev/null 2>&1; then
        db=$stage.mime
        rm -rf "$db"
        mkdir -p "$db/packages"
        cp "$mimexml" "$db/packages/"
        update-mime-database "$db" >/dev/null 2>&1 || bad "update-mime-database rejects tarvex.xml"
        # Globs match regardless of case unless flagged "cs", so this one
        # line also covers *.QUO.
        grep -qxF "50:$type:*.quo" "$db/globs2" 2>/dev/null \
            || bad "MIME database has no case-blind *.quo for $type"
    fi
fi

metainfo=$root/share/metainfo/org.tarvex.tarvex.metainfo.xml
if [ -f "$metainfo" ]; then
    grep -q '<launchable type="desktop-id">tarvex.desktop</launchable>' "$metainfo" || bad "metainfo does not launch tarvex.desktop"
    grep -q '<id>org.tarvex.tarvex</id>' "$metainfo" || bad "metainfo id does not match its file name"
    if grep -q '@[A-Z_]*@' "$metainfo"; then bad "metainfo holds an unconfigured @VARIABLE@"; fi
fi

unit=$root/lib/systemd/user/tarvex-quoteserver.service
if [ -f "$unit" ]; then
    [ "$(value "$unit" ExecStart)" = "$prefix/bin/tarvex-quoteserver --bind 127.0.0.1" ] \
        || bad "unit ExecStart is '$(value "$unit" ExecStart)'"
    if grep -q '@[A-Z_]*@' "$unit"; then bad "unit holds an unconfigured @VARIABLE@"; fi
    grep -q '^WantedBy=default.target' "$unit" || bad "unit cannot be enabled (no WantedBy=default.target)"
fi

# Sample pages go out as they are in the sources.
for page in tech energy indexes; do
    cmp -s "$here/../../examples/$page.quo" "$root/share/tarvex/examples/$page.quo" \
        || bad "share/tarvex/examples/$page.quo differs from examples/$page.quo"
done

[ "$fail" -eq 0 ] && echo "installation in $stage is complete"
exit "$fail"
