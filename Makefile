# Wraps CMake: `make run` and `make test` set up a fresh Debian machine, build and run.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps configure build run test bench clean

deps:
	@sh tools/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@sh tools/run-editor $(BUILD)/bin/ormi

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Speed targets; not part of the test run.
bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; "$$b" || exit 1; done

clean:
	@rm -rf $(BUILD)
