# The two commands of the README. Each installs what is missing first.
.PHONY: run test build deps clean tsan format fuzz demo-gui install-user package

JOBS ?= $(shell nproc)

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

run: build
	@scripts/run-example.sh build/default

test: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)
	ctest --preset default
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan
	@if [ -n "$$(ls wendo/engine/src 2>/dev/null)" ]; then $(MAKE) --no-print-directory tsan; fi

# Each libFuzzer program for FUZZ_SECONDS (default 60): make fuzz FUZZ_SECONDS=600
fuzz: deps
	FUZZ_SECONDS=$(or $(FUZZ_SECONDS),60) JOBS=$(JOBS) scripts/fuzz.sh

# The desktop program's end-to-end story under a virtual display, slowed down to be watched;
# a picture of each step goes to docs/screenshots (shown by docs/USAGE.md).
DEMO_PAUSE_MS ?= 800
demo-gui: deps
	cmake --preset default >/dev/null
	cmake --build --preset default --target ui_tests -j $(JOBS)
	mkdir -p docs/screenshots
	WENDO_DEMO_DIR=docs/screenshots WENDO_DEMO_PAUSE_MS=$(DEMO_PAUSE_MS) QT_QPA_PLATFORM=xcb \
	  xvfb-run -a -s "-screen 0 1280x1024x24" \
	  build/default/bin/ui_tests --gtest_filter='EndToEndTest.*'

# Wendo for this user alone, without root: a Release build installed under PREFIX (~/.local),
# with the desktop menu entry, the .wdo file type and the icon, and the desktop's caches
# refreshed where their tools exist. Warnings do not stop an install.
PREFIX ?= $(HOME)/.local
install-user: deps
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DWENDO_WARNINGS_AS_ERRORS=OFF >/dev/null
	cmake --build build/release --target wendo wendo-run -j $(JOBS)
	scripts/install-user.sh build/release "$(PREFIX)"

# The Debian packages of a Release build: build/release/wendo_VERSION_amd64.deb and wendo-dev.
package: deps
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DWENDO_WARNINGS_AS_ERRORS=OFF >/dev/null
	cmake --build build/release --target wendo wendo-run man -j $(JOBS)
	cd build/release && cpack --config CPackConfig.cmake

tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan --no-tests=ignore

format:
	git ls-files '*.c' '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
