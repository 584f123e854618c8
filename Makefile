# The commands of the README: `make run`, `make test`, `make install` and
# `make deb`. Each installs the Debian packages that are missing, then
# configures build/ (build-deb/ for the package) and builds there what it needs.

PACKAGES := build-essential cmake pkg-config freeglut3-dev libglew-dev libglu1-mesa-dev \
            libdevil-dev libgtest-dev libbenchmark-dev libfast-float-dev libtinyobjloader-dev \
            libx11-dev libxtst-dev xvfb xauth help2man dpkg-dev file
BUILD_DIR := build
JOBS := $(shell nproc)
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24 -noreset"
# Runs a command on the current display, or on a fresh virtual one without it.
ON_DISPLAY := $(if $(DISPLAY),,$(XVFB))

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps fuzz-deps bench-deps coverage-deps configure build test run install deb asan fuzz bench coverage clean

all: build

# Installs only what dpkg does not report as installed; nothing when all are.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

test: build
	cd $(BUILD_DIR) && $(ON_DISPLAY) ctest --output-on-failure -j$(JOBS)

# The viewer reads SceneGraph.sg and Data/ from its working directory. Only
# the viewer is built, not the test programs.
run: configure
	cmake --build $(BUILD_DIR) -j$(JOBS) --target vesk-viewer
	cd demo && ../$(BUILD_DIR)/app/vesk-viewer

# vesk-viewer, vesk-view and vesk-inspect into $(PREFIX)/bin, the README into
# $(PREFIX)/share/doc/vesk, their manual pages into $(PREFIX)/share/man/man1
# and vesk-view's desktop entry into $(PREFIX)/share/applications; through
# sudo when the prefix is not writable.
PREFIX ?= /usr/local
install: configure
	cmake --build $(BUILD_DIR) -j$(JOBS) --target vesk-viewer vesk-view vesk-inspect vesk-man-pages
	@if mkdir -p "$(PREFIX)" 2>/dev/null && [ -w "$(PREFIX)" ]; then \
	    cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"; \
	else \
	    $(SUDO) cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"; \
	fi

# The Debian package build-deb/vesk_<version>_<arch>.deb, from a Release build
# without the tests: what `make install` installs, under /usr. CPack asks
# dpkg-shlibdeps (dpkg-dev) for the libraries the programs need; it finds the
# programs among the files with `file`. `make test` checks a package built the
# same way from build/.
deb: deps
	cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DVESK_BUILD_TESTS=OFF
	cmake --build build-deb -j$(JOBS)
	cd build-deb && cpack -G DEB

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer,
# leak detection on. Only reports from the system's GL, X and image libraries
# are suppressed (tests/sanitizers/), never our own code.
SANITIZE := -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
SUPPRESSIONS := $(CURDIR)/tests/sanitizers
# Mesa unloads its driver before the leak check, and the driver's frames then
# name no library a suppression could match: the tests run on Mesa's software
# driver, preloaded so that it stays. (Stacks unwound in full at each malloc
# would name it too, but deadlock inside llvmpipe.)
ASAN_RUN_OPTIONS := detect_leaks=1:abort_on_error=1:detect_odr_violation=0:verify_asan_link_order=0
MESA_DRIVER = $(firstword $(wildcard /usr/lib/*/dri/swrast_dri.so /usr/lib/dri/swrast_dri.so))
asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug \
	    -DCMAKE_CXX_FLAGS="$(SANITIZE)" -DCMAKE_C_FLAGS="$(SANITIZE)" \
	    -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)" -DCMAKE_SHARED_LINKER_FLAGS="$(SANITIZE)"
	cmake --build build-asan -j$(JOBS)
	cd build-asan && \
	ASAN_OPTIONS=$(ASAN_RUN_OPTIONS) \
	LSAN_OPTIONS=suppressions=$(SUPPRESSIONS)/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	$(ON_DISPLAY) env LIBGL_ALWAYS_SOFTWARE=1 LD_PRELOAD=$(MESA_DRIVER) ctest --output-on-failure -j$(JOBS)

# Each libFuzzer target runs FUZZ_SECONDS from its committed seeds (fuzz/corpus/);
# what it learns goes to build-fuzz/corpus/, and a finding stops the run.
FUZZ_SECONDS ?= 60
# 0 lets libFuzzer pick a random seed; a fixed one replays the same mutations,
# as CI's short smoke run does so that its outcome does not depend on chance.
FUZZ_SEED ?= 0
FUZZ_TARGETS := fuzz_scene fuzz_picture fuzz_obj fuzz_mtl
FUZZ_FLAGS := -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g
fuzz-deps: deps
	@missing=""; \
	for p in clang libclang-rt-14-dev; do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    $(SUDO) apt-get update && $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi

fuzz: fuzz-deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DVESK_BUILD_FUZZ=ON -DVESK_BUILD_TESTS=OFF \
	    -DCMAKE_CXX_FLAGS="$(FUZZ_FLAGS)" -DCMAKE_C_FLAGS="$(FUZZ_FLAGS)"
	cmake --build build-fuzz -j$(JOBS) --target $(FUZZ_TARGETS)
	@for t in $(FUZZ_TARGETS); do \
	    corpus=build-fuzz/corpus/$${t#fuzz_}; mkdir -p $$corpus build-fuzz/findings; \
	    echo "== $$t for $(FUZZ_SECONDS) s"; \
	    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(SUPPRESSIONS)/lsan.supp \
	    build-fuzz/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -seed=$(FUZZ_SEED) -timeout=10 -rss_limit_mb=2048 \
	        -artifact_prefix=build-fuzz/findings/$$t- $$corpus fuzz/corpus/$${t#fuzz_} || exit 1; \
	done

# assimp is a peer bench_obj measures our OBJ loader against; nothing else needs it.
bench-deps: deps
	@missing=""; \
	for p in libassimp-dev; do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    $(SUDO) apt-get update && $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi

# The whole suite built with gcov instrumentation in build-coverage/ and run as
# `make test` runs it; gcovr then prints, per file and in total, the lines and
# branches of the production code that the run reached. Counts start from zero
# on every run. Branches that only throw (operator new's, the library's) and
# those the compiler proves unreachable are not counted.
# Source names are recorded as absolute paths (ccache's base-directory rewrite
# off for this build) so that gcov finds the sources from the object folders.
# Built in GNU mode: only outside strict ISO mode does the compiler know fork
# and exec, and have a forked child write its counts before it execs.
COVERAGE_FLAGS := --coverage -fprofile-abs-path
COVERED := app engine engine_gl debugging tools math inspect view
coverage-deps: deps
	@dpkg-query -W -f='$${Status}\n' gcovr 2>/dev/null | grep -q '^install ok installed$$' || \
	    { $(SUDO) apt-get update && $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y gcovr; }

coverage: coverage-deps
	cmake -S . -B build-coverage -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_EXTENSIONS=ON \
	    -DCMAKE_CXX_FLAGS="$(COVERAGE_FLAGS)" -DCMAKE_C_FLAGS="$(COVERAGE_FLAGS)" \
	    -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage
	env -u CCACHE_BASEDIR cmake --build build-coverage -j$(JOBS)
	find build-coverage -name '*.gcda' -delete
	cd build-coverage && $(ON_DISPLAY) ctest --output-on-failure -j$(JOBS)
	gcovr --root . --object-directory build-coverage --exclude-directories 'build-coverage/CMakeFiles' \
	    $(foreach d,$(COVERED),--filter '$(d)/') \
	    --exclude-throw-branches --exclude-unreachable-branches --print-summary

# Release build of the Google Benchmark programs in build-bench/, then runs them.
# bench_obj takes VESK_BENCH_TRIANGLES (a comma-separated list of sizes) and
# VESK_BENCH_ROUNDS from the environment.
bench: bench-deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVESK_BUILD_BENCH=ON -DVESK_BUILD_TESTS=OFF
	cmake --build build-bench -j$(JOBS)
	./build-bench/bench/bench_obj
	$(ON_DISPLAY) ./build-bench/bench/bench_frame

clean:
	rm -rf $(BUILD_DIR) build-deb build-asan build-fuzz build-bench build-coverage
