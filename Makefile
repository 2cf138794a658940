# The two commands for a newcomer: `make demo` and `make test`. Everything else here is
# a thin wrapper around the CMake presets (see CMakePresets.json).

BUILD_ROOT ?= build
JOBS ?= $(shell nproc)
WINE_PREFIX := $(abspath $(BUILD_ROOT))/wine

.PHONY: all test demo bench deps build-native build-release build-win64 build-win32 \
        test-native test-release test-win64 test-win32 clean format

all: build-native

deps:
	@scripts/install-deps.sh

PRESETS := native release win64 win32
BUILDS := $(addprefix build-,$(PRESETS))

$(BUILDS): build-%: deps
	cmake --preset $* -B $(BUILD_ROOT)/$* $(if $(filter win64,$*),-DLUMETRA_WINE_PREFIX=$(WINE_PREFIX)) >/dev/null
	cmake --build $(BUILD_ROOT)/$* -j $(JOBS)

test-native: build-native
	ctest --test-dir $(BUILD_ROOT)/native -j $(JOBS) --output-on-failure

test-release: build-release
	ctest --test-dir $(BUILD_ROOT)/release -j $(JOBS) --output-on-failure

test-win64: build-win64
	scripts/wine-prefix.sh $(WINE_PREFIX)
	scripts/wine-session.sh $(WINE_PREFIX) \
	    ctest --test-dir $(BUILD_ROOT)/win64 -j $(JOBS) --output-on-failure

test-win32: build-win32
	ctest --test-dir $(BUILD_ROOT)/win32 --output-on-failure

# Builds all four targets with warnings as errors, then runs what each can run.
test:
	@start=$$(date +%s); \
	$(MAKE) --no-print-directory test-native test-release test-win64 test-win32 && \
	echo "make test: all targets passed in $$(( $$(date +%s) - start )) s"

# DEPTH=16 (default) runs the 16-bit path, DEPTH=32 the 32-bit float path.
DEPTH ?= 16
demo: deps
	@cmake --preset release -B $(BUILD_ROOT)/release >/dev/null
	@cmake --build $(BUILD_ROOT)/release -j $(JOBS) \
	    --target LumetraModule filterhost LumetraApp demo-scene
	@scripts/demo.sh $(BUILD_ROOT)/release/bin $(DEPTH)

# Benchmarks, not part of the tests: the conversion alone, export and import beside their
# file I/O floor with the plug-in's heap, and whole runs through the test host.
bench: build-release
	@scripts/bench.sh $(BUILD_ROOT)/release/bin

format:
	find src tools tests -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_ROOT)
