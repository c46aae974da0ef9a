# Convenience front end over CMake. `make check` is what CI and a fresh
# machine run; `make run` starts the program against the companion server.
BUILD      ?= build
ASAN_BUILD ?= build-sanitize
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
PREFIX     ?= /usr/local

.PHONY: all deps build programs check check-sanitize run bench package install clean

all: build

deps:
	@./tools/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

check: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVEX_SANITIZE=ON $(CMAKE_ARGS)

check-sanitize: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -LE packaging

# The installed programs only; the test suites are not needed to run or ship.
programs: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target tarvex tarvex-quoteserver

# Companion server on 127.0.0.1:8642 and the program on a sample page; the
# server stops when the program exits.
run: programs
	./packaging/run-demo.sh $(BUILD) examples/tech.quo

# Debian package in $(BUILD)/, e.g. build/tarvex_1.1.0_amd64.deb.
package: programs
	cd $(BUILD) && cpack -G DEB

# Does not build, so that `sudo make install` writes nothing into the build
# folder as root: `make programs && sudo make install`.
install:
	@test -x $(BUILD)/app/tarvex || { echo "Nothing built in $(BUILD)/; run make programs first." >&2; exit 1; }
	cmake --install $(BUILD) --prefix $(PREFIX)

# Benchmarks in a Release build of their own; figures in BENCHMARKS.md.
bench: deps
	./bench/run.sh build-bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-bench
