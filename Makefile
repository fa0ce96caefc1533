# Set-up and everyday commands. Each target installs what is missing first.
PACKAGES := cmake make g++ qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev \
            xvfb xdotool openbox libx11-dev clang-format clang-tidy \
            desktop-file-utils appstream dpkg-dev file lintian
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS := $(shell nproc)

.PHONY: deps build run test test-asan bench pictures format tidy clean

deps:
	@missing=""; for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)

run: build
	./build/release/app/kovelint

test: build
	ctest --preset release -j $(JOBS)

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
