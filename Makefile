# The two commands of the README: `make run` and `make test`. `make bench` runs the benchmarks.
SHELL := /bin/sh
FUZZ_SECONDS ?= 20

.PHONY: run test bench deps release clean

deps:
	@sh tools/install-deps.sh

release: deps
	cmake --preset release
	cmake --build --preset release

run: release
	cd build/release/game && ./Velmora

# ThreadSanitizer and the fuzzers first; the full debug suite (ASan + UBSan) last, so its summary
# closes the output.
test: deps
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan
	cmake --preset fuzz
	cmake --build --preset fuzz
	sh tools/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)
	cmake --preset debug
	cmake --build --preset debug
	ctest --preset debug

bench: release
	build/release/bench/velmora_bench

clean:
	rm -rf build
