# The commands of the README.
.PHONY: demo test deps fuzz

deps:
	@scripts/install-deps.sh

demo: deps
	@scripts/demo.sh

test: deps
	@scripts/run-tests.sh

# A long fuzzing run: FUZZ_SECONDS per target (make fuzz FUZZ_SECONDS=3600).
FUZZ_SECONDS ?= 600
fuzz: deps
	@fuzz/run-fuzzers.sh $(FUZZ_SECONDS)
