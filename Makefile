# The two commands of the README.
.PHONY: demo test deps

deps:
	@scripts/install-deps.sh

demo:
	@scripts/install-deps.sh demo
	@scripts/demo.sh

test: deps
	@scripts/run-tests.sh
