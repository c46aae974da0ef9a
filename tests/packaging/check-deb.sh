#!/bin/sh
# Builds the Debian package with CPack and checks it: the same files as an
# installation under /usr, owned by root, and control fields a user's apt can
# act on (Depends filled in from the programs' shared libraries).
#
# Usage: check-deb.sh BUILD_DIR WORK_DIR
# Exits 77 (skipped) where the Debian tools are missing.
set -eu
build=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)

for tool in cpack dpkg-deb dpkg-shlibdeps fakeroot; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (Debian: tools/install-deps.sh installs it)"
        exit 77
    fi
done

fail=0
bad() {
    echo "FAIL: $*" >&2
    fail=1
}

rm -rf "$work"
mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack -G DEB" >&2
    exit 1
}
set -- "$work"/*.deb
if [ "$#" -ne 1 ] || [ ! -f "$1" ]; then
    echo "FAIL: expected one .deb in $work, found: $*" >&2
    exit 1
fi
deb=$1
echo "package: $deb"

dpkg-deb -c "$deb" >"$work/contents"
# Lines read: mode owner/group size date time ./path [-> target]
awk '$1 !~ /^d/ { sub(/^\.\/usr\//, "", $6); print $6 }' "$work/contents" | LC_ALL=C sort >"$work/files"
grep -v -e '^#' -e '^$' "$here/expected-files.txt" | LC_ALL=C sort >"$work/expected"
missing=$(LC_ALL=C comm -23 "$work/expected" "$work/files")
extra=$(LC_ALL=C comm -13 "$work/expected" "$work/files")
[ -z "$missing" ] || bad "missing from the package:
$missing"
[ -z "$extra" ] || bad "not expected in the package (or outside /usr):
$extra"
notroot=$(awk '$2 != "root/root" { print $6 }' "$work/contents")
[ -z "$notroot" ] || bad "not owned by root: $notroot"
for exe in tarvex tarvex-quoteserver; do
    grep -q "^-rwxr-xr-x .* \./usr/bin/$exe\$" "$work/contents" || bad "usr/bin/$exe is not mode 755"
done

# Text files written at install time must name the package's prefix, not the
# build's or the staging folder's.
dpkg-deb -x "$deb" "$work/root"
unit=$work/root/usr/lib/systemd/user/tarvex-quoteserver.service
if [ -f "$unit" ]; then
    execstart=$(sed -n 's/^ExecStart=//p' "$unit")
    [ "$execstart" = "/usr/bin/tarvex-quoteserver --bind 127.0.0.1" ] || bad "packaged unit has ExecStart=$execstart"
fi
if grep -rlIF -e "$work" -e "$build" "$work/root" >/dev/null; then
    bad "files hold the build or staging path: $(grep -rlIF -e "$work" -e "$build" "$work/root" | tr '\n' ' ')"
fi

field() {
    dpkg-deb -f "$deb" "$1"
}
[ "$(field Package)" = tarvex ] || bad "Package is '$(field Package)'"
version=$(sed -n 's/^project(Tarvex VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")
[ "$(field Version)" = "$version" ] || bad "Version is '$(field Version)', the project's is $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || bad "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] || bad "no Maintainer"
[ -n "$(field Description)" ] || bad "no Description"
depends=$(field Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libcurl4 libc6 libstdc++6; do
    case ", $depends," in
    *", $lib "* | *", $lib,"*) ;;
    *) bad "Depends does not name $lib" ;;
    esac
done

[ "$fail" -eq 0 ] && echo "package contents and control fields are as expected"
exit "$fail"
