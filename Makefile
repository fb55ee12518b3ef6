# Quick start: `make run` opens the window, `make test` runs every test.
# Both install the missing Debian packages first (scripts/install-deps.sh).
# `make test` and `make test-asan` treat warnings as errors; `make build` does not.
# `make fuzz` runs each fuzz target for FUZZ_SECONDS (clang, build-fuzz/).

BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_BENCH ?= build-bench
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps build run test test-asan bench fuzz format clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/gui/window/quorvex ]; then $(BUILD)/gui/window/quorvex; \
	else echo "The window is not built yet."; exit 1; fi

test: deps $(BUILD)/CMakeCache.txt
	cmake -S . -B $(BUILD) -DQUORVEX_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Debug -DQUORVEX_SANITIZE=ON -DQUORVEX_WERROR=ON $(CMAKE_ARGS)
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench:
	@bash scripts/install-deps.sh --bench
	cmake -S . -B $(BUILD_BENCH) -DCMAKE_BUILD_TYPE=Release -DQUORVEX_BENCH=ON -DQUORVEX_TESTS=OFF $(CMAKE_ARGS)
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	@if [ -x scripts/run-bench.sh ]; then bash scripts/run-bench.sh $(BUILD_BENCH); fi

fuzz:
	@bash scripts/install-deps.sh --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_FUZZ=ON -DQUORVEX_WERROR=ON $(CMAKE_ARGS)
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target quorvex_fuzzers
	bash scripts/run-fuzz.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_BENCH) $(BUILD_FUZZ)
