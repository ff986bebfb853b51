# The README's commands. Both install what is missing first.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN32 := build/win32
# The shipped programs are 32-bit (build/win32). On a machine that runs no 32-bit code the
# Wine tests run the same sources built for 64-bit Windows (build/win64); see tools/wine-env.sh.
VOREL_WINE_ARCH ?= $(shell bash tools/wine-arch.sh)
export VOREL_WINE_ARCH
WIN64 := build/win64
WINRUN := $(if $(filter win64,$(VOREL_WINE_ARCH)),$(WIN64),$(WIN32))

.PHONY: all deps configure build test test-native test-wine demo screenshots bench fuzz soak dist dist-test screens clean

all: build

deps:
	@bash tools/install-deps.sh

# Each tree is configured once, with Ninja (a build with nothing to do costs a fraction of a
# second where make spent ten). Afterwards the build itself runs cmake again whenever a
# CMakeLists.txt or a toolchain file changes. A tree left by another generator is made afresh.
configure_tree = if [ ! -f $(1)/build.ninja ]; then \
	  if [ -f $(1)/CMakeCache.txt ]; then echo "configure: $(1) was made by another generator; making it afresh"; rm -rf $(1); fi; \
	  cmake -S . -B $(1) -G Ninja $(2) >/dev/null; \
	fi

configure: deps
	@$(call configure_tree,$(NATIVE),)
	@$(call configure_tree,$(WIN32),-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake)
	@if [ "$(WINRUN)" = "$(WIN64)" ]; then $(call configure_tree,$(WIN64),-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake); fi

build_trees = cmake --build $(NATIVE) -j $(JOBS) && cmake --build $(WIN32) -j $(JOBS) && \
	{ [ "$(WINRUN)" != "$(WIN64)" ] || cmake --build $(WIN64) -j $(JOBS); }

build: configure
	@$(build_trees)

# Both suites always run; the exit status is non-zero when either failed. Each Wine test has a
# session of its own (tools/wine-test.sh), so they run side by side: WINE_JOBS at a time, more
# than the cores, since they mostly wait for windows and timers.
WINE_JOBS ?= 4
# The Wine tests' template prefix is made (when it is missing) while the trees build: its
# wineboot mostly waits.
test: configure
	@bash tools/wine-prefix.sh --template & template=$$!; \
	$(build_trees); built=$$?; \
	wait $$template; made=$$?; \
	[ $$built -eq 0 ] && [ $$made -eq 0 ]
	@status=0; \
	echo "== native tests =="; \
	(cd $(NATIVE) && ctest -j $(JOBS) --output-on-failure) || status=1; \
	echo "== Wine tests =="; \
	(cd $(WINRUN) && ctest -j $(WINE_JOBS) --output-on-failure) || status=1; \
	exit $$status

demo: build
	@bash tools/demo.sh

# The installer, build/dist/VorelSetup-<version>.exe (the version is CMake's project version).
dist: configure
	@cmake --build $(WIN32) --target dist -j $(JOBS)

# The installer's checks run the installer this machine can run: the shipped 32-bit one, or
# where no 32-bit code runs the same script built for 64-bit around the 64-bit programs.
setup_to_run = [ "$(WINRUN)" != "$(WIN64)" ] || cmake --build $(WIN64) --target vorel_test_setup vorel_find_window -j $(JOBS)

# The installer under Wine in fresh prefixes: install, links, start-up entry, uninstall key,
# the Pictures folder, Vorelset's window, silent uninstall, and an upgrade keeping the settings.
dist-test: dist
	@$(setup_to_run)
	@bash tools/dist-test.sh

# Pictures of the product under build/screens/: tray icons, about picture, help page, the
# installer's pages, Vorelset's first balloons.
screens: dist
	@$(setup_to_run)
	@bash tools/product-screens.sh

# The settings window's pages, the picker and two window sizes as PNGs in build/screens/.
screenshots: configure
	@cmake --build $(WINRUN) --target vorel_screens vorel_monitors_screen vorel_test_plugins -j $(JOBS)
	@bash tools/screenshots.sh

# Figures only: builds its own optimised trees, never fails the build.
bench: deps
	@bash tools/bench-collect.sh

# Every fuzz harness for FUZZ_SECONDS seconds each (make fuzz FUZZ_SECONDS=10 for a quick
# run); clang and its sanitizer runtimes are installed only for this target.
FUZZ := build/fuzz
FUZZ_SECONDS ?= 60
fuzz:
	@bash tools/install-deps.sh --fuzz
	@cmake -S fuzz -B $(FUZZ) -G "Unix Makefiles" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS)
	@FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_BUILD=$(CURDIR)/$(FUZZ) bash fuzz/run.sh

# Vorelset resident for SOAK_CHANGES changes (default 10000) with its counts sampled every 100:
# build/soak/soak.csv, build/soak/soak.png, the slopes and the change times. Not part of test.
soak: configure
	@bash tools/soak.sh

clean:
	rm -rf $(NATIVE) $(WIN32) $(WIN64) $(FUZZ) build/wine-sessions
