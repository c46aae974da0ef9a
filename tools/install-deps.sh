#!/bin/sh
# Installs the Debian 12 packages that building, testing and running Tarvex
# need, and only those that are missing. Uses sudo when not run as root.
set -eu
packages="build-essential cmake ninja-build pkg-config
qt6-base-dev libcurl4-openssl-dev libglib2.0-dev libcpp-httplib-dev
googletest libgtest-dev libbenchmark-dev libxml2-dev
clang libclang-rt-dev xvfb x11-apps imagemagick fonts-dejavu-core
desktop-file-utils shared-mime-info appstream xdg-utils
dpkg-dev fakeroot librsvg2-bin x11-utils xdotool python3"
missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing
