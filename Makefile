# SPDX-License-Identifier: MIT
# The project's commands; see README.md.
BUILD_DIR := build
WERROR := $(if $(CI),ON,OFF)

.PHONY: deps configure build run test bench lint asan fuzz package

deps:
	@scripts/install-deps

configure: deps
	cmake --preset default -DQIF2LDX_WERROR=$(WERROR)

build: configure
	cmake --build --preset default

# With a display: the dialog; without one: the bundled example through the command line. Builds
# only what it runs (the program, its dialog module and the files beside them); the tests and the
# benchmarks are built by make test and make bench.
run: configure
	cmake --build --preset program
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then build/qif2ldx; else scripts/run-example; fi

test: build
	ctest --preset default

# Whole-process conversions of generated files of growing size; keeps the table in bench/.
bench: build
	/usr/bin/python3 bench/run.py build/qif2ldx build/bench/work bench/RESULTS.md
	build/bench/xml_insert_bench

# The Debian package, in build/package/.
package: build
	cd build && cpack

lint: configure
	cmake --build --preset default --target lint

# The whole test suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	cmake --preset asan -DQIF2LDX_WERROR=$(WERROR)
	cmake --build --preset asan
	ctest --preset asan

# Each libFuzzer target for FUZZ_SECONDS on its corpus, then its saved crash inputs.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	fuzz/run.sh $(FUZZ_SECONDS)
