# The two commands of the README. Each installs what is missing first.
.PHONY: run test build deps clean tsan format fuzz

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

tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan --no-tests=ignore

format:
	git ls-files '*.c' '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
