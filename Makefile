# The two entry points. Both install what is missing first.
# `make test` builds and tests the development build (the ci preset under CI);
# `make run` builds and starts the optimised build, in a folder of its own.
PRESET ?= $(if $(CI),ci,dev)
RUN_PRESET ?= release

.PHONY: run test setup build

run: setup
	cmake --preset $(RUN_PRESET) >/dev/null
	cmake --build --preset $(RUN_PRESET) --target velumar
	build/$(RUN_PRESET)/app/velumar --operator demo

test: build
	ctest --preset $(PRESET)

build: setup
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET)

setup:
	@./scripts/setup.sh
