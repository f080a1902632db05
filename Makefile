# The two entry points. Both install what is missing first.
PRESET ?= $(if $(CI),ci,dev)
BUILD_DIR = build/$(PRESET)

.PHONY: run test setup build

run: build
	$(BUILD_DIR)/app/velumar --operator demo

test: build
	ctest --preset $(PRESET)

build: setup
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET)

setup:
	@./scripts/setup.sh
