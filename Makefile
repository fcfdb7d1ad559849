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
bench-run:
	$(MAKE) configure PRESET=release
	cmake --build --preset release --target cordshift-cli -j $(JOBS)
	TMPDIR=$${TMPDIR:-$$([ -d /dev/shm ] && echo /dev/shm || echo /tmp)} \
	  ./bench/run-bench.sh build/release

clean:
	rm -rf build
