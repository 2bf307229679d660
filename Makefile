# Front door: `make run` plays, `make test` runs every test (plain and sanitized).
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
RELEASE_BUILD ?= build-release
JOBS ?= $(shell nproc)

PREFIX ?= /usr/local

.PHONY: all deps build run install test test-plain test-asan bench idle-check fuzz soak clean

all: build

deps:
	@tools/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/plonder $(ARGS)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

test-plain: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPLONDER_SANITIZE=ON

test-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-plain test-asan

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLONDER_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	for b in build-bench/bench/bench_*; do $$b; done

# CPU use of the idle game beside a minimal SDL2 program, under a virtual X display.
idle-check: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLONDER_BENCH=ON
	cmake --build build-bench -j $(JOBS) --target plonder idle_reference
	tools/idle-check build-bench

# Every fuzz target under libFuzzer for FUZZ_SECONDS each (clang; a build of its own).
$(FUZZ_BUILD)/build.ninja:
	@tools/install-deps --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DPLONDER_FUZZ=ON -DPLONDER_TESTS=OFF

fuzz: $(FUZZ_BUILD)/build.ninja
	@tools/install-deps --fuzz
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) tools/run-fuzz $(FUZZ_BUILD)

# Continuous headless play: Release for 10^5 and 10^6 frames, the sanitizer build for 10^5.
$(RELEASE_BUILD)/build.ninja:
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLONDER_TESTS=OFF

soak: deps $(RELEASE_BUILD)/build.ninja $(ASAN_BUILD)/build.ninja
	cmake --build $(RELEASE_BUILD) -j $(JOBS) --target plonder
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target plonder
	tools/soak $(RELEASE_BUILD) $(ASAN_BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-bench $(FUZZ_BUILD) $(RELEASE_BUILD)
