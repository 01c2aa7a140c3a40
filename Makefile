# Thin wrappers: every target installs what it needs, configures and builds.
# ccache (when CMake finds it) sees paths relative to this checkout and
# ignores the build folder's own path, so any clone reuses its cache.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: deps build run test bench fuzz asan package clean

deps:
	@bash scripts/install-deps

build: deps
	@[ -f build/build.ninja ] || cmake --preset dev >/dev/null
	@cmake --build --preset dev

test: build
	@bash scripts/check-layers
	@ctest --preset dev

run: build
	@bash scripts/run

bench: deps
	@[ -f build-release/build.ninja ] || cmake --preset release >/dev/null
	@cmake --build --preset release
	@bash scripts/bench

asan: deps
	@[ -f build-asan/build.ninja ] || cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

fuzz: deps
	@[ -f build-fuzz/build.ninja ] || cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@bash scripts/fuzz $(FUZZ_SECONDS)

# The Debian package kvx_VERSION_ARCH.deb, built for /usr, in this folder.
package: deps
	@[ -f build-package/build.ninja ] || cmake --preset package >/dev/null
	@cmake --build --preset package
	@rm -f build-package/kvx_*.deb
	@cd build-package && cpack -G DEB
	@cp build-package/kvx_*.deb .

clean:
	rm -rf build build-release build-asan build-fuzz build-package kvx_*.deb
