# Two entry points for a fresh Debian machine: `make test` and `make run`.
BUILD_TEST  ?= build/test
BUILD_REL   ?= build/release
JOBS        ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps test build bench run clean

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

run: deps
	@echo "Kinlore II has no application window yet; see README.md."

clean:
	rm -rf build
