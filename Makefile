# Cordshift: the two everyday commands are `make run` and `make test`.
PRESET ?= debug
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test test-sanitize run bench bench-run clean \
	windows-deps test-windows package test-package fuzz test-crash

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	ctest --preset $(PRESET) -j $(JOBS)

test-sanitize:
	$(MAKE) test PRESET=sanitize

run: build
	./scripts/run.sh build/$(PRESET)

bench:
	$(MAKE) build PRESET=release
	# On tmpfs when there is one, so that the figures measure the code rather
	# than the disk; set TMPDIR to measure another file system.
	TMPDIR=$${TMPDIR:-$$([ -d /dev/shm ] && echo /dev/shm || echo /tmp)} \
	  ./build/release/bench/cordshift-bench

# The whole command line against cp -r on a 5,000-file tree (release build),
# on a disk (the temporary folder) and on tmpfs (/dev/shm): one table each.
bench-run:
	$(MAKE) configure PRESET=release
	cmake --build --preset release --target cordshift-cli -j $(JOBS)
	./bench/run-bench.sh build/release

# The Windows build: the core, cordshift-cli.exe and the core tests, cross-
# compiled with MinGW-w64 (preset "windows", build/windows). The tests run
# under Wine with a Japanese locale (ANSI code page 932), then the Windows
# and the Linux cordshift-cli convert examples/ and must write the same bytes.
# wine-run.sh boots a new Wine prefix before its first program
# (scripts/test-wine-run.sh tests that); the build's own is booted before
# the tests start, so that no test's time limit includes the boot.
windows-deps:
	./scripts/install-windows-deps.sh

test-windows: deps windows-deps
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)
	./scripts/test-wine-run.sh build/windows/wine-run.sh
	./build/windows/wine-run.sh wineboot -i
	ctest --preset windows -j $(JOBS)
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) --target cordshift-cli -j $(JOBS)
	./scripts/compare-windows-convert.sh build/$(PRESET) build/windows

# The Debian package of the window and the command line; for Windows a ZIP
# of Cordshift.exe and cordshift-cli.exe and an installer of both (NSIS);
# all in build/packages.
package: deps windows-deps
	rm -rf build/packages
	cmake --preset package
	cmake --build --preset package -j $(JOBS)
	cd build/package && cpack -B $(CURDIR)/build/packages
	cmake --preset windows-release
	cmake --build --preset windows-release -j $(JOBS)
	cd build/windows-release && cpack -B $(CURDIR)/build/packages
	rm -rf build/packages/_CPack_Packages
	ls -l build/packages

# Checks the packages (contents, lintian, AppStream metadata, desktop entry,
# manual page, the DLLs the Windows programs import); installs the Debian
# package with dpkg and removes it again; installs, runs and uninstalls the
# Windows installer under Wine in a Wine prefix of its own.
test-package: package
	./scripts/check-packages.sh build/packages build/windows-release

# The fuzz targets (fuzz/): a clang build of their own with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer in the core as well; each
# target runs FUZZ_SECONDS seconds. A crash, leak or sanitizer report fails.
FUZZ_SECONDS ?= 60
fuzz: deps
	CXX=clang++ cmake -S . -B build/fuzz -G Ninja \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCORDSHIFT_FUZZ=ON -DCORDSHIFT_BUILD_TESTS=OFF \
	  -DCORDSHIFT_BUILD_BENCH=OFF -DCORDSHIFT_BUILD_WINDOW=OFF
	cmake --build build/fuzz --target cordshift_fuzzers -j $(JOBS)
	./fuzz/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

# The crash-safety test alone; CORDSHIFT_CRASH_KILLS=100 for a longer run.
test-crash: build
	ctest --preset $(PRESET) -L crash --verbose

clean:
	rm -rf build
