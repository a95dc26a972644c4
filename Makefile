# Set-up and everyday commands. `make run` installs what building and running
# the program needs on a fresh Debian 12 machine, builds only the program and
# runs it; `make test` installs and builds the rest and runs every test.
BUILD   ?= build
JOBS    ?= $(shell nproc)
PREFIX  ?= /usr/local
CMAKE   := cmake -G Ninja -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps deps-run configure build program run test check longcheck fuzz bench longrun \
        install uninstall package docs clean web

all: build

deps-run:
	@sh tools/install-deps.sh run

deps:
	@sh tools/install-deps.sh all

# Configured again every time (a second or less): test libraries installed
# after a first `make run` are then found and the tests join the build.
configure:
	$(CMAKE) -S . -B $(BUILD) >/dev/null

program: deps-run configure
	cmake --build $(BUILD) -j $(JOBS) --target rivo7315

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

run: program
	$(BUILD)/rivo7315

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# What `make install` and `make package` build: the program with its data and
# the library (static and shared, portable and platform parts).
INSTALLED := rivo7315 rivo7315-data rivo7315_lib_static rivo7315_lib_shared \
             rivo7315_platform_static rivo7315_platform_shared

# The program, its desktop entry, icon and manual page, and the library with
# its headers, pkg-config and CMake files and examples, under DESTDIR/PREFIX.
install: deps-run configure
	cmake --build $(BUILD) -j $(JOBS) --target $(INSTALLED)
	DESTDIR=$(DESTDIR) sh tools/install-tree.sh install $(BUILD) $(PREFIX)

# Removes exactly what the last `make install` from this build put in place
# (its own manifest), and nothing when there was none.
uninstall:
	sh tools/install-tree.sh uninstall $(BUILD)

# Debian packages of the same files under /usr, in $(BUILD): rivo7315_*.deb
# (the program), librivo7315-1_*.deb and librivo7315-platform1_*.deb (the
# shared libraries), librivo7315-dev_*.deb (headers, static libraries, .pc,
# CMake files, examples).
package: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target $(INSTALLED)
	cd $(BUILD) && cpack -G DEB

# The HTML reference of the library in $(BUILD)/docs/html (Doxygen).
docs: configure
	cmake --build $(BUILD) --target docs

# Sanitized unit tests and scene loops, ThreadSanitizer, short fuzz runs.
check: deps
	BUILD=$(BUILD) JOBS=$(JOBS) sh tools/check.sh

# The program under the failing allocator for every N of three short runs
# (hours on one core; SWEEP_JOBS=n runs n at a time).
longcheck: build
	bash tools/alloc-sweep.sh $(BUILD)/rivo7315 $(abspath $(BUILD))/tests/libfailalloc.so all

# Every fuzz target for FUZZ_TIME seconds (default 60).
fuzz: deps
	sh tools/fuzz.sh

# Ten scene loops headless, peak memory at each loop.
longrun: build
	bash tools/longrun.sh $(BUILD)/rivo7315

# Every benchmark program, the start-up and the whole headless loop; the
# README's figure tables are rewritten from this run.
bench: build
	python3 tools/bench-readme $(BUILD) README.md

# The demo as a web page in build-web/ (Debian's Emscripten; the favicon is
# the desktop icon, drawn by the native make-icon): serve it with any static
# file server, e.g. `python3 -m http.server -d build-web`.
WEB_BUILD ?= build-web
EMSCRIPTEN_NODE := NODE_PATH=/usr/share/nodejs
web: deps-run configure
	@sh tools/install-deps.sh web
	cmake --build $(BUILD) -j $(JOBS) --target make-icon
	$(EMSCRIPTEN_NODE) emcmake $(CMAKE) -DRIVO_SIMD=OFF -S . -B $(WEB_BUILD) >/dev/null
	$(EMSCRIPTEN_NODE) cmake --build $(WEB_BUILD) -j $(JOBS)
	$(BUILD)/tools/make-icon $(WEB_BUILD)/favicon.png

clean:
	rm -rf $(BUILD) build-*
