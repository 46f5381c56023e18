# Set-up and everyday commands. Every target installs what it needs first.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps configure build test run bench sanitize clean

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

bench: deps
	@cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELHAM_BENCH=ON >/dev/null
	@cmake --build $(BUILD)-bench -j $(JOBS)
	@for b in $(BUILD)-bench/bench/bench_*; do echo "== $$b"; $$b; done

sanitize: deps
	@cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELHAM_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)-asan -j $(JOBS)
	@QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		ctest --test-dir $(BUILD)-asan --output-on-failure -j $(JOBS) -L unit

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-asan
