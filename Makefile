# Kelvar进程管理 — the two commands a new machine needs: `make run` and
# `make test`.  Everything installs what is missing first (scripts/setup.sh).
SHELL := /bin/bash
JOBS ?= $(shell nproc)
BUILD ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
FUZZ_SECONDS ?= 60

.PHONY: all setup build run test test-linux test-asan test-fuzz test-windows bench fuzz windows package screenshots clean

all: build

setup:
	@bash scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

# Every test: the core on fakes, the Linux adapters on real processes, the Qt
# window offscreen, clang-tidy over src/, the same again under ASan+UBSan, the
# fuzz targets for 10 s each, and both Windows builds under Wine.
test: setup
	@bash scripts/test.sh

bench: setup
	@bash scripts/bench.sh

fuzz: setup
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

windows: setup
	@bash scripts/windows.sh

# dist/: the .deb of the Linux program and a zip of each Windows build.
package: setup
	@bash scripts/package.sh

clean:
	rm -rf build build-* dist
