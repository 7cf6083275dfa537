# Front door: `make run` starts the desktop program, `make test` runs every test,
# `make package` builds the Debian package.
BUILD_DIR ?= build
BENCH_DIR ?= build-release
PACKAGE_DIR ?= build-package
JOBS ?= $(shell nproc)

.PHONY: setup configure build test sanitize fuzz run bench package clean

setup:
	@bash scripts/setup.sh

# The benchmarks are built with the tests (not run), so that a change that breaks one shows.
configure: setup
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAGWRIGHT_BENCH=ON >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300

# The whole test suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: setup
	@cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAGWRIGHT_SANITIZE=ON >/dev/null
	@cmake --build build-sanitize -j $(JOBS)
	@cd build-sanitize && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 600

# Each libFuzzer target for FUZZ_SECONDS (FUZZ_TARGETS: a subset), in a clang build without the GUI.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
fuzz: setup
	@cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DTAGWRIGHT_FUZZ=ON -DTAGWRIGHT_GUI=OFF -DTAGWRIGHT_TESTS=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@bash fuzz/run.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

run: build
	@bash scripts/run.sh $(BUILD_DIR)

bench: setup
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAGWRIGHT_BENCH=ON -DTAGWRIGHT_TESTS=OFF >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS)
	@bash bench/run.sh $(BENCH_DIR)

# The Debian package, $(PACKAGE_DIR)/tagwright_VERSION_ARCH.deb: a release build of the programs
# alone (no tests), of which cpack packs what cmake --install puts in place. It is compiled with
# Debian's hardening flags, as Debian's own packages are.
DEB_BUILD_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package: setup
	@cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAGWRIGHT_TESTS=OFF \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_BUILD_FLAGS) CPPFLAGS) $$($(DEB_BUILD_FLAGS) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_BUILD_FLAGS) LDFLAGS)" >/dev/null
	@cmake --build $(PACKAGE_DIR) -j $(JOBS) --target package

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR) $(PACKAGE_DIR) build-sanitize build-fuzz
