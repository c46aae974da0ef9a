#!/bin/sh
# The long run: 10,000 refresh passes of 10 pages against the companion
# quote server, resident memory sampled every 1,000 passes into a CSV.
# Fails when a refresh fails or resident memory grows by more than 2 MiB
# after warm-up (pass 2,000). Not part of `make check`: it takes the better
# part of an hour.
#
#   soak/run.sh [BUILD-FOLDER]        (default: build-soak, made when missing)
#
# Environment: PASSES, PAGES, EVERY, WARMUP, BOUND_KIB to change the run;
# CSV (default <build>/soak.csv); JOBS for the build (default 2).
# The build must be without sanitizers: their allocators hold memory back
# on purpose, which is not what this measures.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-soak}
case $build in
    /*) ;;
    *) build=$(pwd)/$build ;;
esac

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVEX_SANITIZE=OFF
fi
if grep -q '^TARVEX_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
    echo "soak: $build is a sanitizer build; use one without (see the comment in $0)" >&2
    exit 2
fi
cmake --build "$build" -j "${JOBS:-2}" --target tarvex_soak tarvex-quoteserver

csv=${CSV:-$build/soak.csv}
exec "$root/tests/run-isolated.sh" "$build/tests/hardening/tarvex_soak" \
    --passes "${PASSES:-10000}" --pages "${PAGES:-10}" --every "${EVERY:-1000}" \
    --warmup "${WARMUP:-2000}" --bound-kib "${BOUND_KIB:-2048}" --csv "$csv"
