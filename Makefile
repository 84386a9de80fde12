# The commands of the README.
.PHONY: demo test deps kernel-test bench

deps:
	@scripts/install-deps.sh

demo:
	@scripts/install-deps.sh demo
	@scripts/demo.sh

test: deps
	@scripts/run-tests.sh

kernel-test: deps
	@scripts/kernel-test.sh

bench: deps
	@bench/run-bench.sh
