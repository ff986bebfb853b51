# The README's commands. Both install what is missing first.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN32 := build/win32

.PHONY: all deps configure build test test-native test-wine demo screenshots bench clean

all: build

deps:
	@bash tools/install-deps.sh

configure: deps
	@cmake -S . -B $(NATIVE) -G "Unix Makefiles" >/dev/null
	@cmake -S . -B $(WIN32) -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DVOREL_BENCH=OFF >/dev/null

build: configure
	@cmake --build $(NATIVE) -j $(JOBS)
	@cmake --build $(WIN32) -j $(JOBS)

# Both suites always run; the exit status is non-zero when either failed.
test: build
	@bash tools/wine-prefix.sh
	@status=0; \
	echo "== native tests =="; \
	(cd $(NATIVE) && ctest -j $(JOBS) --output-on-failure) || status=1; \
	echo "== Wine tests =="; \
	(cd $(WIN32) && ../../tools/with-display.sh ctest --output-on-failure) || status=1; \
	exit $$status

demo: build
	@bash tools/demo.sh

# The settings window's pages, the picker and two window sizes as PNGs in build/screens/.
screenshots: configure
	@cmake --build $(WIN32) --target vorel_screens vorel_test_plugins -j $(JOBS)
	@bash tools/screenshots.sh

# Figures only: builds its own optimised trees, never fails the build.
bench: deps
	@bash tools/bench-collect.sh

clean:
	rm -rf $(NATIVE) $(WIN32)
