# Front door: `make run` plays, `make test` runs every test (plain and sanitized).
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)

PREFIX ?= /usr/local

.PHONY: all deps build run install test test-plain test-asan bench idle-check clean

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

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-bench
