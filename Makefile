# Set-up and everyday commands. `make run` and `make test` install what a
# fresh Debian 12 machine lacks, configure, build, then run or test.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE   := cmake -G Ninja -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build run test check longcheck fuzz bench longrun clean

all: build

deps:
	@sh tools/install-deps.sh

$(BUILD)/build.ninja: | deps
	$(CMAKE) -S . -B $(BUILD)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/rivo7315

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

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

clean:
	rm -rf $(BUILD) build-*
