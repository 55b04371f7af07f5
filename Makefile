# `make run`: install what is missing, build, and open the viewer on the demo data.
# `make test`: install what is missing, build, and run every test.
# `make install` / `make uninstall`: put the program on this desktop under PREFIX, or take it off.
# `make deb`: build the Debian package lumora-viewer_VERSION_ARCH.deb in the build folder;
#   `make check-deb` builds it and checks it with lintian.
# `make archive-demo`: serve a generated demo archive on 127.0.0.1 and open the viewer on it.
# `make live-demo`: a file growing by RATE records a second (default 10), followed with LISTEN on.
# `make check`: what CI runs: `make test`, then every test again under AddressSanitizer and
#   UndefinedBehaviorSanitizer (`make test-sanitizers`), then a short run of each fuzz target
#   (`make fuzz-smoke`). Both use a second build folder, build-asan, compiled by clang.
BUILD ?= build
ASAN_BUILD ?= build-asan
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test console bench clean install uninstall archive-demo live-demo \
	configure-sanitizers build-sanitizers test-sanitizers fuzz-smoke check deb deb-deps check-deb

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

RATE ?= 10
live-demo: build
	./scripts/live-demo.sh $(BUILD) $(RATE)

console: build
	$(BUILD)/lumora-viewer --console $(BUILD)/demo/drift_scan_demo.lmd

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: build
	$(BUILD)/lumora_bench

# -O1 with line tables: quick to compile, and every report names its file and line.
configure-sanitizers: deps
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" -DLUMORA_FUZZ=ON

build-sanitizers: configure-sanitizers
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-sanitizers: build-sanitizers
	./scripts/sanitizer-env.sh sh -c 'cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300'

fuzz-smoke: build-sanitizers
	./scripts/fuzz-smoke.sh $(ASAN_BUILD) $(FUZZ_SECONDS)

check: test test-sanitizers fuzz-smoke

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

# The list of installed files is kept apart: the install test writes the build's own manifest.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)
	cp $(BUILD)/install_manifest.txt $(BUILD)/installed_files.txt
	-update-mime-database $(PREFIX)/share/mime
	-update-desktop-database -q $(PREFIX)/share/applications
	-gtk-update-icon-cache -q -t $(PREFIX)/share/icons/hicolor

# The package holds what `make install` installs, under /usr, stripped; dpkg-shlibdeps (from
# dpkg-dev) names the libraries it needs. The tools to build and check it are installed apart.
deb-deps:
	./scripts/install-deps.sh packaging

deb: deb-deps build
	rm -f $(BUILD)/lumora-viewer_*.deb
	cd $(BUILD) && cpack -G DEB

# What CI runs on the package: lintian, the files a desktop needs, the dependencies; lists contents.
check-deb: deb
	./scripts/check-deb.sh $(BUILD)

uninstall:
	@test -f $(BUILD)/installed_files.txt || { echo "Nothing installed from $(BUILD)."; exit 1; }
	xargs -d '\n' rm -f < $(BUILD)/installed_files.txt
	rm -f $(BUILD)/installed_files.txt
	-update-mime-database $(PREFIX)/share/mime
	-update-desktop-database -q $(PREFIX)/share/applications
