# Front door: `make run` starts the desktop program, `make test` runs every test.
BUILD_DIR ?= build
BENCH_DIR ?= build-release
JOBS ?= $(shell nproc)

.PHONY: setup configure build test run bench clean

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300

run: build
	@bash scripts/run.sh $(BUILD_DIR)

bench: setup
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAGWRIGHT_BENCH=ON -DTAGWRIGHT_TESTS=OFF >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS)
	@bash bench/run.sh $(BENCH_DIR)

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR)
