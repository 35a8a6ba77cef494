# Entry points for a fresh Debian machine: `make test`, `make run` and
# `make run-tempolin`.
BUILD_TEST  ?= build/test
BUILD_REL   ?= build/release
BUILD_RUN   ?= build/run
ARGS        ?=
JOBS        ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps test build bench run run-tempolin run-editor clean

all: build

deps:
	@bash scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_TEST) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKL_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD_TEST) -j $(JOBS)

test: build
	cd $(BUILD_TEST) && ctest --output-on-failure -j $(JOBS) --timeout 900

bench: deps
	cmake -S . -B $(BUILD_REL) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKL_SANITIZE=OFF -DKL_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD_REL) -j $(JOBS)
	@for b in $(BUILD_REL)/bench/bench_*; do [ -x "$$b" ] && { echo "== $$b"; "$$b"; }; done

# Builds Kinlore II without sanitizers and starts it; ARGS=... names files
# or packages to open (quote names with blanks: ARGS='"My Tree.ged"'), none
# opens the sample database. The script reads ARGS from the environment, so
# the names reach it as typed. Configured once; the build re-configures by
# itself when a CMake file changes.
export ARGS KL_XVFB
run: deps $(BUILD_RUN)/build.ninja
	cmake --build $(BUILD_RUN) -j $(JOBS) --target kinlore
	@bash scripts/run-kinlore $(BUILD_RUN)/bin/kinlore

$(BUILD_RUN)/build.ninja:
	cmake -S . -B $(BUILD_RUN) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKL_SANITIZE=OFF -DKL_TESTS=OFF $(CMAKE_FLAGS)

# Builds Tempolin, the date calculator, without sanitizers and starts it.
run-tempolin: deps $(BUILD_RUN)/build.ninja
	cmake --build $(BUILD_RUN) -j $(JOBS) --target tempolin
	@bash scripts/run-tempolin $(BUILD_RUN)/bin/tempolin $(ARGS)

# Builds Kinlore Editor without sanitizers and starts it; ARGS=... names
# packages to open, none opens the System library's Default Format.
run-editor: deps $(BUILD_RUN)/build.ninja
	cmake --build $(BUILD_RUN) -j $(JOBS) --target kinlore-editor
	@bash scripts/run-editor $(BUILD_RUN)/bin/kinlore-editor $(ARGS)

clean:
	rm -rf build
