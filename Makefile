# The commands of the README and of docs/development.md and docs/testing.md.
.PHONY: demo test deps kernel-test wine-hid-test bench fuzz

deps:
	@scripts/install-deps.sh

demo:
	@scripts/install-deps.sh demo
	@scripts/demo.sh

test: deps
	@scripts/run-tests.sh

kernel-test: deps
	@scripts/kernel-test.sh

wine-hid-test: deps
	@scripts/wine-hid-test.sh

bench: deps
	@bench/run-bench.sh

# A long fuzzing run: FUZZ_SECONDS per target (make fuzz FUZZ_SECONDS=3600).
FUZZ_SECONDS ?= 600
fuzz: deps
	@fuzz/run-fuzzers.sh $(FUZZ_SECONDS)
