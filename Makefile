# Set-up and everyday commands. Each target installs what is missing first.
PACKAGES := cmake make g++ qt6-base-dev qt6-wayland libgl-dev libgtest-dev libgmock-dev libbenchmark-dev \
            xvfb xdotool openbox libx11-dev clang-format clang-tidy \
            sway grim libwayland-dev libxkbcommon-dev wayland-protocols pkg-config \
            desktop-file-utils appstream dpkg-dev file lintian devscripts
# The browser game and its tests: emscripten builds it, Debian's Chromium plays it. Kept apart
# so that make run never waits for them. Node and npm come from Debian unless the machine
# already has them.
WEB_PACKAGES := emscripten chromium firefox-esr webkit2gtk-driver xvfb $(if $(shell command -v node),,nodejs) $(if $(shell command -v npm),,npm)
# The native Windows program: cross-built with mingw-w64, tested under Wine on a private Xvfb.
WIN_PACKAGES := g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine fonts-wine \
                googletest xvfb xdotool x11-apps python3
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS := $(shell nproc)
# Every file a build packs is dated from the last commit, never from the clock, so one commit
# gives the same bytes whenever and wherever it is built (git's time; a caller's own wins).
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

.PHONY: deps web-deps build run test test-asan bench pictures format tidy clean

# Installs whichever of $(1) is missing. Another install under way (two builds at once, or the
# system's own updates) is waited for rather than failed on.
APT_WAIT := -o DPkg::Lock::Timeout=600
define install_missing
	@missing=""; for p in $(1); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get $(APT_WAIT) update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get $(APT_WAIT) install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

web-deps: deps
	$(call install_missing,$(WEB_PACKAGES))

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) $(BUILD_TARGETS)

run: build
	./build/release/app/kovelint

# Every test: the native suite, the browser game's in Chromium, Firefox and WebKit, then the Windows
# program's under Wine.
test: build web windows win32-deps
	ctest --preset release -j $(JOBS)
	ctest --test-dir build/web --output-on-failure --no-tests=error -j $(JOBS)
	ctest --test-dir build/windows --output-on-failure --no-tests=error -j $(JOBS)
	ctest --test-dir build/windows-x86 --output-on-failure --no-tests=error -j $(JOBS)

test-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench: build
	./build/release/bench/kovelint_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

# Start-up time, peak memory and exit time of the game against a bare Qt window with 90 cells,
# on a private Xvfb; the floor and the timer are built here too (bench/startup/).
.PHONY: bench-startup
bench-startup: build
	bench/startup.sh

pictures: build
	./build/release/tools/picgen/picgen assets --sheet docs/pictures.png

# The Debian package, from the optimised build: build/release/kovelint_<version>_<arch>.deb
.PHONY: package screenshots
package: build
	cd build/release && cpack -G DEB

# docs/screenshot-playing.png and docs/screenshot-solved.png, from the real window, seeded.
screenshots: build
	QT_QPA_PLATFORM=offscreen ./build/release/tools/screenshots/kovelint_screenshots docs

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

tidy: build
	clang-tidy -p build/release $$(git ls-files 'board/*.cpp' 'generator/*.cpp' 'play/*.cpp' 'game/*.cpp')

clean:
	rm -rf build

# The game in a web browser: build/web/index.html opens straight from disk or from any server.
# Debian's emscripten finds its Node modules through NODE_PATH when node is not Debian's own.
WEB_ENV := NODE_PATH=/usr/share/nodejs PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
.PHONY: web test-web random-web bench-web screenshot-web

tests/web/node_modules/.package-lock.json: tests/web/package-lock.json tests/web/package.json | web-deps
	cd tests/web && $(WEB_ENV) npm ci --no-audit --no-fund --loglevel=error

web: web-deps build tests/web/node_modules/.package-lock.json
	$(WEB_ENV) emcmake cmake -S web -B build/web -DCMAKE_BUILD_TYPE=Release \
	    -DKOVELINT_GAMEDUMP=$(CURDIR)/build/release/tools/gamedump/gamedump >/dev/null
	$(WEB_ENV) cmake --build build/web -j $(JOBS) $(WEB_TARGETS)

# The page in headless Chromium, Firefox ESR and WebKitGTK: play, touch, tabs, file://, offline,
# and agreement with the native controller (one engine alone: ctest -L firefox).
test-web: web
	ctest --test-dir build/web --output-on-failure --no-tests=error -j $(JOBS)

# Ten minutes of random input in each engine in turn (ENGINE=firefox for one), the page's data
# on the heap watched through it where the engine tells it; the seed is printed, and
# KOVELINT_RANDOM_SEED=N replays it.
ENGINE ?= chromium firefox webkit
random-web: web
	status=0; for engine in $(ENGINE); do \
	    cd $(CURDIR)/tests/web && KOVELINT_ENGINE=$$engine KOVELINT_WEB_DIR=$(CURDIR)/build/web-test \
	        KOVELINT_PICTURES=$(CURDIR)/assets/pictures KOVELINT_RANDOM_MINUTES=$${KOVELINT_RANDOM_MINUTES:-10} \
	        node --test random.test.mjs || status=1; \
	done; exit $$status

# Page weight, start-up, a new game and a click, measured in headless Chromium; then how much
# script the text floor may run before its board and stay within a ratio of itself.
bench-web: web
	node bench/web/perf.mjs build/web build/web-test build/release/bench/kovelint_bench
	node bench/web/budget.mjs build/web

# docs/screenshot-web.png, from the real page in headless Chromium, seeded.
screenshot-web: web
	node tools/screenshots/web.mjs build/web-test docs/screenshot-web.png

# The game for Windows: build/windows/kovelint.exe (64-bit), build/windows-x86/kovelint.exe
# (32-bit) and build/windows/kovelint-<version>-windows.zip holding both, each one file that
# needs no install.
.PHONY: win-deps windows test-windows bench-windows
win-deps:
	$(call install_missing,$(WIN_PACKAGES))

# The 32-bit program is tested under Debian's 32-bit Wine. Where the kernel cannot run 32-bit
# code, QEMU runs it, registered for i386 programs only inside the tests' own namespace
# (tests/win/wine.sh), so nothing changes for the rest of the machine. It must be 8.1 or later
# (Wine maps its shared memory with MAP_FIXED_NOREPLACE, which Debian 12's 7.2 ignores), so it
# comes from bookworm-backports, listed in a sources file of its own.
WIN32_PACKAGES := wine32:i386
BACKPORTS := /etc/apt/sources.list.d/kovelint-bookworm-backports.sources
.PHONY: win32-deps
win32-deps: win-deps
	@dpkg --print-foreign-architectures | grep -qx i386 || { \
	    echo "Adding the i386 architecture to dpkg, for 32-bit Wine"; \
	    $(SUDO) dpkg --add-architecture i386; }
	$(call install_missing,$(WIN32_PACKAGES))
	@if ! tests/win/runs_i386.sh && ! tests/win/qemu_i386.sh >/dev/null; then \
	    echo "This kernel runs no 32-bit code: QEMU 8.1 or later from bookworm-backports"; \
	    if [ ! -f $(BACKPORTS) ]; then \
	        echo "Adding bookworm-backports to apt's sources, in $(BACKPORTS)"; \
	        printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' \
	            'Suites: bookworm-backports' 'Components: main' \
	            'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' | \
	            $(SUDO) tee $(BACKPORTS) >/dev/null; \
	    fi; \
	    $(SUDO) apt-get $(APT_WAIT) update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get $(APT_WAIT) install -y -qq \
	        --no-install-recommends -t bookworm-backports qemu-user && \
	    tests/win/qemu_i386.sh >/dev/null; \
	fi

windows: win-deps
	cmake -S win -B build/windows-x86 --toolchain $(CURDIR)/cmake/mingw-w64-i686.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DKOVELINT_WIN_TESTS=ON >/dev/null
	cmake --build build/windows-x86 -j $(JOBS)
	cmake -S win -B build/windows --toolchain $(CURDIR)/cmake/mingw-w64-x86_64.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DKOVELINT_X86_EXE=$(CURDIR)/build/windows-x86/kovelint.exe >/dev/null
	cmake --build build/windows -j $(JOBS) $(WIN_TARGETS)

# The core's and the controller's unit tests built for Windows, the window's parts, the imports
# and the real program, all under Wine: the 64-bit program, then the 32-bit one.
test-windows: windows win32-deps
	ctest --test-dir build/windows --output-on-failure --no-tests=error -j $(JOBS)
	ctest --test-dir build/windows-x86 --output-on-failure --no-tests=error -j $(JOBS)

# The real window under random input, 100,000 events on each program (64-bit, then 32-bit),
# checked against the controller after every event, its objects and private bytes flat. The
# seed is printed; make random-windows SEED=n EVENTS=n replays a run.
EVENTS ?= 100000
.PHONY: random-windows
random-windows: windows win32-deps
	tests/win/wine.sh --headless $(CURDIR)/build/windows/wine-headless \
	    build/windows/tests/random_input.exe --events $(EVENTS) $(if $(SEED),--seed $(SEED))
	tests/win/wine.sh --headless --x86 $(CURDIR)/build/windows-x86/wine-headless \
	    build/windows-x86/tests/random_input.exe --events $(EVENTS) $(if $(SEED),--seed $(SEED))

# docs/screenshot-windows-100.png, -150.png and -200.png: the window at each screen scale.
.PHONY: screenshots-windows
screenshots-windows: windows
	tools/screenshots/windows.sh

# Start-up against a bare Win32 floor, a click and a new 25 x 15 game, under Wine.
bench-windows: build windows
	bench/windows.sh

# A release: dist/ holds the Debian package, the Windows zip, the page as a zip for any static
# host and SHA256SUMS, each named with the version. The tests run first, and the release is
# packed from the very build folders they ran on; the package is made again and must be the
# same bytes as the one the package tests checked.
.PHONY: dist dist-files test-reproducible
dist: test
	$(MAKE) dist-files DIST_CHECK=--same-as-tested

# The release files alone, from the same configuration as make test, building only what the
# release holds.
DIST_PACKAGES := brotli python3
dist-files:
	$(call install_missing,$(DIST_PACKAGES))
	$(MAKE) build web windows BUILD_TARGETS="--target kovelint" WEB_TARGETS="--target page" \
	    WIN_TARGETS="--target zip"
	packaging/dist.sh $(CURDIR) $(CURDIR)/dist $(DIST_CHECK)

# Two releases of the last commit, from clones in different folders, one after the other, with
# different umask, locale and time zone: every file in their dist/ must be the same bytes.
test-reproducible:
	$(call install_missing,$(DIST_PACKAGES) diffoscope-minimal git)
	tests/dist/reproducible.sh $(CURDIR)
