# Set-up and everyday commands. `make run` installs what building and running
# the program needs on a fresh Debian 12 machine, builds only the program and
# runs it; `make test` installs and builds the rest and runs every test.
BUILD   ?= build
JOBS    ?= $(shell nproc)
PREFIX  ?= /usr/local
CMAKE   := cmake -G Ninja -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps deps-run configure build program run test check longcheck fuzz bench longrun \
        install uninstall package clean web

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
	./$(BUILD)/rivo7315

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The program, its desktop entry, icon and manual page under PREFIX.
install: deps-run configure
	cmake --build $(BUILD) -j $(JOBS) --target rivo7315 rivo7315-data
	cmake --install $(BUILD) --prefix $(PREFIX)

# Removes every file the last `make install` put in place.
uninstall:
	@[ -f $(BUILD)/install_manifest.txt ] || { echo "nothing installed from $(BUILD)"; exit 1; }
	xargs rm -f < $(BUILD)/install_manifest.txt
	sed -n 's|/copyright$$||p' $(BUILD)/install_manifest.txt | xargs -r rmdir --ignore-fail-on-non-empty
	rm -f $(BUILD)/install_manifest.txt

# A Debian package of the same files under /usr: $(BUILD)/rivo7315_*.deb.
package: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target rivo7315 rivo7315-data
	cd $(BUILD) && cpack -G DEB

# Sanitized unit tests and scene loops, ThreadSanitizer, short fuzz runs.
check: deps
	sh tools/check.sh

# The program under the failing allocator for every N of two short runs
# (hours on one core; SWEEP_JOBS=n runs n at a time).
longcheck: build
	bash tools/alloc-sweep.sh ./$(BUILD)/rivo7315 $(CURDIR)/$(BUILD)/tests/libfailalloc.so all

# Every fuzz target for FUZZ_TIME seconds (default 60).
fuzz: deps
	sh tools/fuzz.sh

# Ten scene loops headless, peak memory at each loop.
longrun: build
	bash tools/longrun.sh ./$(BUILD)/rivo7315

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
	./$(BUILD)/tools/make-icon $(WEB_BUILD)/favicon.png

clean:
	rm -rf $(BUILD) build-*
