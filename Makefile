# `make run`: install what is missing, build, and open the viewer on the demo data.
# `make test`: install what is missing, build, and run every test.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test console bench clean

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run-viewer.sh $(BUILD)

console: build
	$(BUILD)/lumora-viewer --console $(BUILD)/demo/drift_scan_demo.lmd

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: build
	$(BUILD)/lumora_bench

clean:
	rm -rf $(BUILD)
