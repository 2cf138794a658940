# The two commands for a newcomer: `make demo` and `make test`. Everything else here is
# a thin wrapper around the CMake presets (see CMakePresets.json).

BUILD_ROOT ?= build
JOBS ?= $(shell nproc)
WINE_PREFIX := $(abspath $(BUILD_ROOT))/wine
WINE_LLVM_PREFIX := $(abspath $(BUILD_ROOT))/wine-llvm
WINE32_PREFIX := $(abspath $(BUILD_ROOT))/wine32

LLVM_SYSROOT := $(abspath $(BUILD_ROOT))/llvm-sysroot

# Every step below runs through scripts/phase.sh: under `make test`, which runs them side by
# side, each keeps its output in a log of its own and says only when it ends (the whole log
# when it fails); run alone, a step shows its output as before.
PHASE := scripts/phase.sh
# `make test` runs the builds at a lower priority than the tests beside them (NICE): a test
# under Wine waits on timers and has a time limit, a compiler has neither. The two clang
# sysroots and the builds that wait for them are the longest chain, so they run at a
# priority between the two (NICE_FIRST) and are not held back by the other builds.
NICE ?=
NICE_FIRST ?=
# It also runs the test suites one at a time (SERIAL takes a lock around each): two suites
# side by side would share the processors and the temporary folder, and both have timing
# limits and folder names of their own that they expect to hold alone.
SERIAL ?=

.PHONY: all test demo bench deps build-native build-release build-win64 build-win32 \
        build-winarm64 build-win64-llvm test-native test-release test-win64 test-win32 \
        test-winarm64 test-winarm64-emulated test-win64-llvm sysroot-aarch64 sysroot-x86_64 \
        sysroot-sources wine-prefix wine-prefix-llvm package check-package \
        clean format build-fuzz test-fuzz fuzz

all: build-native

deps:
	@$(PHASE) installs scripts/install-deps.sh

PRESETS := native release win64 win32 winarm64 win64-llvm
BUILDS := $(addprefix build-,$(PRESETS))

# The clang-22 builds: the ARM64 module, and an x64 one with the same toolchain and runtime
# whose tests run under Wine. Their sysroots are made once from Debian's sources, which
# are fetched while the packages install. Ninja does not see a sysroot change, so a build
# tree made with another one starts afresh.
LLVM_ARCH_winarm64 := aarch64
LLVM_ARCH_win64-llvm := x86_64
sysroot-sources:
	@$(PHASE) sysroot-sources scripts/make-llvm-sysroot.sh sources $(LLVM_SYSROOT)/sources
sysroot-aarch64 sysroot-x86_64: sysroot-%: deps sysroot-sources
	@$(PHASE) sysroot-$* $(NICE_FIRST) scripts/make-llvm-sysroot.sh $* $(LLVM_SYSROOT)/$*
build-winarm64: sysroot-aarch64
build-win64-llvm: sysroot-x86_64

# Each x64 suite under Wine has a prefix of its own, so that the two run side by side: in
# one prefix they would share the one profile's settings file and the one server.
WINE_PREFIX_win64 := $(WINE_PREFIX)
WINE_PREFIX_win64-llvm := $(WINE_LLVM_PREFIX)
WINE_PREFIX_win32 := $(WINE32_PREFIX)
wine-prefix: deps
	@$(PHASE) wine-prefix scripts/wine-prefix.sh $(WINE_PREFIX)
wine-prefix-llvm: deps
	@$(PHASE) wine-prefix-llvm scripts/wine-prefix.sh $(WINE_LLVM_PREFIX)

$(BUILDS): build-%: deps
	@$(PHASE) build-$* $(if $(LLVM_ARCH_$*),$(NICE_FIRST),$(NICE)) \
	    $(MAKE) --no-print-directory preset-$*

# The build of one preset, without its prerequisites (build-<preset> makes them first).
preset-%:
	@$(if $(LLVM_ARCH_$*),stamp=$(LLVM_SYSROOT)/$(LLVM_ARCH_$*)/stamp; tree=$(BUILD_ROOT)/$*; \
	if [ -d $$tree ] && ! cmp -s $$stamp $$tree/sysroot-stamp; then rm -rf $$tree; fi; \
	mkdir -p $$tree && cp $$stamp $$tree/sysroot-stamp,:)
	cmake --preset $* -B $(BUILD_ROOT)/$* \
	    $(if $(WINE_PREFIX_$*),-DLUMETRA_WINE_PREFIX=$(WINE_PREFIX_$*)) \
	    $(if $(LLVM_ARCH_$*),-DLUMETRA_LLVM_SYSROOT=$(LLVM_SYSROOT)/$(LLVM_ARCH_$*)) >/dev/null
	cmake --build $(BUILD_ROOT)/$* -j $(JOBS)

test-native: build-native
	@$(SERIAL) $(PHASE) test-native ctest --test-dir $(BUILD_ROOT)/native -j $(JOBS) --output-on-failure

test-release: build-release
	@$(SERIAL) $(PHASE) test-release ctest --test-dir $(BUILD_ROOT)/release -j $(JOBS) --output-on-failure

test-win64: build-win64 wine-prefix
	@$(SERIAL) $(PHASE) test-win64 scripts/wine-session.sh $(WINE_PREFIX) \
	    ctest --test-dir $(BUILD_ROOT)/win64 -j $(JOBS) --output-on-failure

test-win64-llvm: build-win64-llvm wine-prefix-llvm
	@$(SERIAL) $(PHASE) test-win64-llvm scripts/wine-session.sh $(WINE_LLVM_PREFIX) \
	    ctest --test-dir $(BUILD_ROOT)/win64-llvm -j $(JOBS) --output-on-failure

# ARM64 programs do not run here: the module's static checks only.
test-winarm64: build-winarm64
	@$(PHASE) test-winarm64 sh -c 'ctest --test-dir $(BUILD_ROOT)/winarm64 --output-on-failure && \
	    echo "make test: ARM64 tests skipped, only static checks ran: $$(cat $(BUILD_ROOT)/winarm64/wine-skipped)"'

# The ARM64 test programs for real, under arm64 Wine through qemu-user in a Debian 13 root.
# Not part of `make test`: it needs root, binfmt_misc and the next Debian release's Wine.
ARM64_ROOT := $(abspath $(BUILD_ROOT))/arm64-root
test-winarm64-emulated: build-winarm64
	cmake --build $(BUILD_ROOT)/winarm64 -j $(JOBS) --target tests/all
	scripts/make-arm64-root.sh $(ARM64_ROOT)
	scripts/arm64-wine-tests.sh $(ARM64_ROOT) $(BUILD_ROOT)/winarm64/bin

# Under the 32-bit loader where this kernel runs 32-bit programs; elsewhere the build
# registers only its static checks and says why.
test-win32: build-win32
	@$(SERIAL) $(PHASE) test-win32 sh -c 'if [ -f $(BUILD_ROOT)/win32/wine-skipped ]; then \
	    ctest --test-dir $(BUILD_ROOT)/win32 --output-on-failure && \
	    echo "make test: 32-bit tests skipped, only static checks ran: $$(cat $(BUILD_ROOT)/win32/wine-skipped)"; \
	else \
	    scripts/wine-prefix.sh $(WINE32_PREFIX) win32 && \
	    scripts/wine-session.sh $(WINE32_PREFIX) \
	        ctest --test-dir $(BUILD_ROOT)/win32 -j $(JOBS) --output-on-failure; \
	fi'

# The fuzz targets (fuzz/): their own clang-14 project, for libFuzzer and the sanitizers.
# `make fuzz` runs each for FUZZ_SECONDS, one at a time; `make test` runs each for
# FUZZ_TEST_SECONDS, side by side. New inputs go to $(BUILD_ROOT)/fuzz/corpus, findings
# to $(BUILD_ROOT)/fuzz/findings; the kept corpus in fuzz/corpus is only read.
FUZZ_SECONDS ?= 600
FUZZ_TEST_SECONDS ?= 30
build-fuzz: deps
	@$(PHASE) build-fuzz $(NICE) sh -c 'cmake -S fuzz -B $(BUILD_ROOT)/fuzz -G Ninja >/dev/null && \
	    cmake --build $(BUILD_ROOT)/fuzz -j $(JOBS)'

# The three short runs go side by side: each is bounded by time, not by work.
test-fuzz: build-fuzz
	@$(SERIAL) $(PHASE) fuzzing sh -c 'cmake -S fuzz -B $(BUILD_ROOT)/fuzz -DLUMETRA_FUZZ_SECONDS=$(FUZZ_TEST_SECONDS) >/dev/null && \
	    ctest --test-dir $(BUILD_ROOT)/fuzz -j 3 --output-on-failure'

fuzz: build-fuzz
	cmake -S fuzz -B $(BUILD_ROOT)/fuzz -DLUMETRA_FUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	ctest --test-dir $(BUILD_ROOT)/fuzz -j 1 --verbose

# Builds all six targets with warnings as errors, then runs what each can run. TEST_JOBS
# steps run at a time (or as many as `make -j` gives), the longest chain first: the
# sysroots, then the clang builds and their tests. One at a time is the default: on a
# 2-core machine every step already keeps both cores busy, and side by side (TEST_JOBS=16)
# the whole took longer. Each step's output is kept in $(BUILD_ROOT)/phases/; at the end a
# table gives each step's start, time and CPU time, so that the slowest stretch shows.
TEST_JOBS ?= 1
TEST_GOALS := test-win64-llvm check-package test-winarm64 test-win64 test-release \
    test-native test-fuzz test-win32
test:
	@export LUMETRA_PHASES=$(abspath $(BUILD_ROOT))/phases LUMETRA_PHASES_ORIGIN=$$(date +%s); \
	rm -rf $$LUMETRA_PHASES && mkdir -p $$LUMETRA_PHASES; status=0; \
	$(MAKE) --no-print-directory -k $(if $(findstring jobserver,$(MAKEFLAGS)),,-j $(TEST_JOBS)) \
	    NICE="nice -n 10" NICE_FIRST="nice -n 5" SERIAL="flock $$LUMETRA_PHASES/tests.lock" $(TEST_GOALS) || status=$$?; \
	$(PHASE) --summary; \
	took=$$(( $$(date +%s) - LUMETRA_PHASES_ORIGIN )); \
	if [ $$status -eq 0 ]; then echo "make test: all targets passed in $$took s"; \
	else echo "make test: FAILED after $$took s (logs in $$LUMETRA_PHASES)"; exit $$status; fi

# The release archive: the three Windows modules, the install text and their checksums.
# The members carry the commit's time, so one commit always gives the same archive.
VERSION := $(shell sed -n 's/^project.Lumetra VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DIST ?= dist
PACKAGE := $(DIST)/Lumetra-$(VERSION)-windows.zip
MODULES := $(foreach preset,win32 win64 winarm64,$(BUILD_ROOT)/$(preset)/bin/Lumetra.8bf)
package: build-win32 build-win64 build-winarm64
	@$(PHASE) package env SOURCE_DATE_EPOCH=$$(git log -1 --format=%ct 2>/dev/null || echo 315532800) \
	    python3 packaging/make_package.py $(VERSION) $(MODULES) packaging/INSTALL.txt $(PACKAGE)

# The archive holds exactly what the tests ran against.
check-package: package
	@$(PHASE) check-package python3 tests/packaging/check_package.py $(PACKAGE) $(MODULES) $(VERSION)

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
