# Set-up and everyday commands. Every target installs what it needs first.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps configure build test run package bench sanitize soak soak-sanitize fuzz clean

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(BUILD)/pelham; \
	else \
		echo "No display found. Run Pelham under a virtual display:"; \
		echo "    xvfb-run -a $(BUILD)/pelham"; \
		echo "or use the command-line tool:"; \
		echo "    $(BUILD)/pelham-cli --help"; \
	fi

# The Debian package, in $(BUILD): pelham_VERSION_ARCH.deb.
package: build
	@cmake --build $(BUILD) --target package

# Every benchmark, the painting ones on the offscreen display; fails when any of them fails.
bench: deps
	@cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELHAM_BENCH=ON >/dev/null
	@cmake --build $(BUILD)-bench -j $(JOBS)
	@bash scripts/run-benchmarks $(BUILD)-bench/bench

sanitize: deps
	@cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELHAM_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)-asan -j $(JOBS)
	@QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		ctest --test-dir $(BUILD)-asan --output-on-failure -j $(JOBS) -L unit

# The random-action soak on the real window offscreen: runs until stopped, or for
# SOAK_ACTIONS actions in all; SEED=N replays the run of that seed (SOAK_RUN actions a run).
SEED ?=
SOAK_ACTIONS ?=
SOAK_RUN ?=
soak: configure
	@cmake --build $(BUILD) -j $(JOBS) --target test_soak
	@QT_QPA_PLATFORM=offscreen SOAK_SEED=$(SEED) SOAK_ACTIONS=$(SOAK_ACTIONS) \
		SOAK_RUN=$(SOAK_RUN) $(BUILD)/tests/test_soak

# The soak under the sanitizers, in the build of "make sanitize": 2,000 actions unless told
# (SOAK_ACTIONS=0 runs until stopped). Long runs go three times faster in an optimised
# sanitizer build: SANITIZE_TYPE=RelWithDebInfo SANITIZE_BUILD=build-asan-opt.
SANITIZE_TYPE ?= Debug
SANITIZE_BUILD ?= $(BUILD)-asan
soak-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(SANITIZE_TYPE) \
		-DPELHAM_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target test_soak
	@QT_QPA_PLATFORM=offscreen SOAK_SEED=$(SEED) SOAK_ACTIONS=$(or $(SOAK_ACTIONS),2000) \
		SOAK_RUN=$(SOAK_RUN) LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		$(SANITIZE_BUILD)/tests/test_soak

# Fuzz targets with clang and libFuzzer for FUZZ_TIME seconds each, FUZZ_JOBS at a time
# (each to $(BUILD)-fuzz/logs/<target>.log when more than one), seeded from
# tests/fuzz/corpus/<target>; new inputs go to $(BUILD)-fuzz/corpus/<target>, crash inputs to
# $(BUILD)-fuzz/crash-<target>-*.
FUZZ_TIME ?= 60
FUZZ_JOBS ?= 1
FUZZ_TARGETS ?= fuzz_tcf fuzz_csv fuzz_preset fuzz_frames fuzz_adopt fuzz_other_generic \
	fuzz_other_bookmarks fuzz_other_scanner fuzz_other_columns
FUZZ_FLAGS ?=

fuzz: deps
	@cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELHAM_FUZZ=ON \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(BUILD)-fuzz -j $(JOBS) --target $(FUZZ_TARGETS)
	@bash scripts/run-fuzz $(BUILD)-fuzz $(FUZZ_TIME) $(FUZZ_JOBS) "$(FUZZ_FLAGS)" $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-asan $(BUILD)-fuzz
