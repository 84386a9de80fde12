# The commands of the README.
.PHONY: demo test deps kernel-test

deps:
	@scripts/install-deps.sh

demo:
	@scripts/install-deps.sh demo
	@scripts/demo.sh

test: deps
	@scripts/run-tests.sh

kernel-test: deps
	@scripts/kernel-test.sh
