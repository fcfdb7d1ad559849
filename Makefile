# Cordshift: the two everyday commands are `make run` and `make test`.
PRESET ?= debug
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test test-sanitize run bench bench-run clean

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

# The whole command line against cp -r on a 5,000-file tree (release build).
# The whole-run comparison with cp -r is about what a user's disk sees, so
# it runs in the ordinary temporary folder; TMPDIR=/dev/shm measures the
# CPU-bound case.
bench-run:
	$(MAKE) configure PRESET=release
	cmake --build --preset release --target cordshift-cli -j $(JOBS)
	./bench/run-bench.sh build/release

clean:
	rm -rf build
