# The entry points: make run, make test, make render, make bench, make package.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
CMAKE      ?= cmake
JOBS       ?= $(shell nproc)
ARGS       ?=

.PHONY: all deps build run test test-release test-sanitize render bench fuzz package format clean

all: build

deps:
	scripts/install-deps

$(BUILD)/build.ninja:
	$(CMAKE) -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: $(BUILD)/build.ninja
	$(CMAKE) --build $(BUILD) -j $(JOBS)

# Only the window and what it needs: no tests, no benchmarks.
run: deps $(BUILD)/build.ninja
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target hillograph
	$(BUILD)/ui/hillograph $(ARGS)

# Every test in the release build, then again under the sanitizers, built with the plain C++
# paths so that both they and the SIMD ones are checked.
test: deps
	$(MAKE) test-release test-sanitize

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja:
	$(CMAKE) -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHILLOGRAPH_SANITIZE=ON \
	  -DHILLOGRAPH_BENCH=OFF -DHILLOGRAPH_PORTABLE=ON

test-sanitize: $(ASAN_BUILD)/build.ninja
	$(CMAKE) --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

render: build
	$(BUILD)/cli/hillograph-render $(ARGS)

bench: build
	$(BUILD)/bench/hillograph_bench $(ARGS)
	$(BUILD)/bench/hillograph_window_bench $(ARGS)
	scripts/bench-cli $(BUILD)/cli/hillograph-render

$(FUZZ_BUILD)/build.ninja:
	CC=clang CXX=clang++ $(CMAKE) -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DHILLOGRAPH_FUZZ=ON -DHILLOGRAPH_GUI=OFF -DHILLOGRAPH_TESTS=OFF -DHILLOGRAPH_BENCH=OFF

# Each fuzz target for FUZZ_SECONDS, starting from its seed corpus in fuzz/corpus.
fuzz: $(FUZZ_BUILD)/build.ninja
	$(CMAKE) --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The Debian package, from the Release build: $(BUILD)/hillograph_<version>_<arch>.deb. Its
# programs link the system's shared C++ runtime, which the system's security updates reach.
package: deps
	$(CMAKE) -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DHILLOGRAPH_GUI=ON \
	  -DHILLOGRAPH_STATIC_CXX_RUNTIME=OFF
	$(CMAKE) --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && cpack -G DEB

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
