# The entry points: make run, make test, make render, make bench, make package.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
WEB_BUILD  ?= build-web
FUZZ_SECONDS ?= 60
CMAKE      ?= cmake
JOBS       ?= $(shell nproc)
ARGS       ?=

# ccache, where it is installed, keeps compiled objects between build folders and clones.
ifneq ($(shell command -v ccache 2>/dev/null),)
LAUNCHER   := -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR := $(CURDIR)
endif

WEB_PORT   ?= 8080

.PHONY: all deps build run test test-release test-sanitize test-thread render bench fuzz package \
        format clean test-web serve web web-render web-page

all: build

deps:
	scripts/install-deps

$(BUILD)/build.ninja:
	$(CMAKE) -S . -B $(BUILD) -G Ninja $(LAUNCHER) -DCMAKE_BUILD_TYPE=Release

build: $(BUILD)/build.ninja
	$(CMAKE) --build $(BUILD) -j $(JOBS)

# Only the window and what it needs: no tests, no benchmarks.
run: deps $(BUILD)/build.ninja
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target hillograph
	$(BUILD)/ui/hillograph $(ARGS)

# Every test in the release build, then again under the sanitizers, built with the plain C++
# paths so that both they and the SIMD ones are checked, then the tests of the core and of the
# command line under ThreadSanitizer.
test: deps
	$(MAKE) test-release test-sanitize test-thread

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja:
	$(CMAKE) -S . -B $(ASAN_BUILD) -G Ninja $(LAUNCHER) -DCMAKE_BUILD_TYPE=Debug -DHILLOGRAPH_SANITIZE=ON \
	  -DHILLOGRAPH_BENCH=OFF -DHILLOGRAPH_PORTABLE=ON

test-sanitize: $(ASAN_BUILD)/build.ninja
	$(CMAKE) --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The worker team, the split plasma, the heightmap's thread and the batches are hand-written
# concurrency: their tests run under ThreadSanitizer, which fails a test at its first report.
$(TSAN_BUILD)/build.ninja:
	$(CMAKE) -S . -B $(TSAN_BUILD) -G Ninja $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
	  -DHILLOGRAPH_GUI=OFF -DHILLOGRAPH_BENCH=OFF -DHILLOGRAPH_STATIC_CXX_RUNTIME=OFF

test-thread: $(TSAN_BUILD)/build.ninja
	$(CMAKE) --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS)

render: build
	$(BUILD)/cli/hillograph-render $(ARGS)

bench: build
	$(BUILD)/bench/hillograph_bench $(ARGS)
	$(BUILD)/bench/hillograph_window_bench $(ARGS)
	scripts/bench-cli $(BUILD)/cli/hillograph-render

$(FUZZ_BUILD)/build.ninja:
	CC=clang CXX=clang++ $(CMAKE) -S . -B $(FUZZ_BUILD) -G Ninja $(LAUNCHER) -DCMAKE_BUILD_TYPE=Debug \
	  -DHILLOGRAPH_FUZZ=ON -DHILLOGRAPH_GUI=OFF -DHILLOGRAPH_TESTS=OFF -DHILLOGRAPH_BENCH=OFF

# Each fuzz target for FUZZ_SECONDS, starting from its seed corpus in fuzz/corpus.
fuzz: $(FUZZ_BUILD)/build.ninja
	$(CMAKE) --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The browser page: its own logic under Node, then the built page in Debian's chromium against the
# native renderer. npm brings only the test tooling (playwright-core), never a browser.
test-web: deps build
	scripts/install-deps --web
	$(MAKE) web
	cd web && npm ci --no-audit --no-fund --silent
	cd web && node --test tests/
	cd web && HILLOGRAPH_WEB=../$(WEB_BUILD) HILLOGRAPH_RENDER=../$(BUILD)/cli/hillograph-render \
	  node --test tests/browser/page.js

# The built page at http://127.0.0.1:$(WEB_PORT)/, from any static server.
serve:
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory $(WEB_BUILD)

# The Debian package, from the Release build: $(BUILD)/hillograph_<version>_<arch>.deb. Its
# programs link the system's shared C++ runtime, which the system's security updates reach.
package: deps
	$(CMAKE) -S . -B $(BUILD) -G Ninja $(LAUNCHER) -DCMAKE_BUILD_TYPE=Release -DHILLOGRAPH_GUI=ON \
	  -DHILLOGRAPH_STATIC_CXX_RUNTIME=OFF
	$(CMAKE) --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && cpack -G DEB

# WebAssembly, in $(WEB_BUILD): every program the browser or Node runs is one prerequisite of web.
$(WEB_BUILD)/build.ninja:
	scripts/install-deps --web
	$(CMAKE) -S . -B $(WEB_BUILD) -G Ninja $(LAUNCHER) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/wasm32.cmake \
	  -DHILLOGRAPH_GUI=OFF -DHILLOGRAPH_TESTS=OFF -DHILLOGRAPH_BENCH=OFF

web: web-render web-page

# $(WEB_BUILD)/hillograph-render.js, run as `node $(WEB_BUILD)/hillograph-render.js [options]`.
web-render: $(WEB_BUILD)/build.ninja
	NODE_PATH=/usr/share/nodejs $(CMAKE) --build $(WEB_BUILD) --target hillograph-render -j $(JOBS)

# The browser page, index.html at the root of $(WEB_BUILD), with the core it runs in its worker.
web-page: $(WEB_BUILD)/build.ninja
	NODE_PATH=/usr/share/nodejs $(CMAKE) --build $(WEB_BUILD) --target hillograph-page -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(WEB_BUILD) build-i386 build-arm64
