# `make run`: install what is missing, build, and open the viewer on the demo data.
# `make test`: install what is missing, build, and run every test.
# `make install` / `make uninstall`: put the program on this desktop under PREFIX, or take it off.
# `make archive-demo`: serve a generated demo archive on 127.0.0.1 and open the viewer on it.
BUILD ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test console bench clean install uninstall archive-demo

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run-viewer.sh $(BUILD)

archive-demo: build
	./scripts/archive-demo.sh $(BUILD)

console: build
	$(BUILD)/lumora-viewer --console $(BUILD)/demo/drift_scan_demo.lmd

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: build
	$(BUILD)/lumora_bench

clean:
	rm -rf $(BUILD)

# The list of installed files is kept apart: the install test writes the build's own manifest.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)
	cp $(BUILD)/install_manifest.txt $(BUILD)/installed_files.txt
	-update-mime-database $(PREFIX)/share/mime
	-update-desktop-database -q $(PREFIX)/share/applications
	-gtk-update-icon-cache -q -t $(PREFIX)/share/icons/hicolor

uninstall:
	@test -f $(BUILD)/installed_files.txt || { echo "Nothing installed from $(BUILD)."; exit 1; }
	xargs -d '\n' rm -f < $(BUILD)/installed_files.txt
	rm -f $(BUILD)/installed_files.txt
	-update-mime-database $(PREFIX)/share/mime
	-update-desktop-database -q $(PREFIX)/share/applications
