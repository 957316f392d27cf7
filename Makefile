# The entry points: make run, make test, make render, make bench, make package.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WEB_BUILD  ?= build-web
FUZZ_SECONDS ?= 60
CMAKE      ?= cmake
JOBS       ?= $(shell nproc)
ARGS       ?=

.PHONY: all deps build run test test-release test-sanitize render bench fuzz package format clean \
  web web-render

all: build

deps:
	scripts/install-deps

$(BUILD)/build.ninja:
	$(CMAKE) -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: $(BUILD)/build.ninja
	$(CMAKE) --build $(BUILD) -j $(JOBS)

run: deps build
	$(BUILD)/ui/hillograph

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

# The Debian package, from the Release build: $(BUILD)/hillograph_<version>_<arch>.deb.
package: deps
	$(CMAKE) -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DHILLOGRAPH_GUI=ON
	$(CMAKE) --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && cpack -G DEB

# WebAssembly, in $(WEB_BUILD): every program the browser or Node runs is one prerequisite of web.
$(WEB_BUILD)/build.ninja:
	scripts/install-deps --web
	$(CMAKE) -S . -B $(WEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/wasm32.cmake \
	  -DHILLOGRAPH_GUI=OFF -DHILLOGRAPH_TESTS=OFF -DHILLOGRAPH_BENCH=OFF

web: web-render

# $(WEB_BUILD)/hillograph-render.js, run as `node $(WEB_BUILD)/hillograph-render.js [options]`.
web-render: $(WEB_BUILD)/build.ninja
	NODE_PATH=/usr/share/nodejs $(CMAKE) --build $(WEB_BUILD) --target hillograph-render -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WEB_BUILD) build-i386 build-arm64
