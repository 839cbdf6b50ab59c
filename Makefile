# SPDX-License-Identifier: MIT
# The project's commands; see README.md.
BUILD_DIR := build
WERROR := $(if $(CI),ON,OFF)

.PHONY: deps configure build run test lint asan

deps:
	@scripts/install-deps

configure: deps
	cmake --preset default -DQIF2LDX_WERROR=$(WERROR)

build: configure
	cmake --build --preset default

# With a display: the dialog; without one: the bundled example through the command line.
run: build
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then build/qif2ldx; else scripts/run-example; fi

test: build
	ctest --preset default

lint: configure
	cmake --build --preset default --target lint

asan: deps
	cmake --preset asan -DQIF2LDX_WERROR=$(WERROR)
	cmake --build --preset asan
	ctest --preset asan
