# The commands of the README.
.PHONY: demo test deps bench

deps:
	@scripts/install-deps.sh

demo: deps
	@scripts/demo.sh

test: deps
	@scripts/run-tests.sh

bench: deps
	@bench/run-bench.sh
