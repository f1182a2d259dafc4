# Lockleaf: `make run` builds and starts the editor (under Wine on Linux); `make test` builds and runs every test.
SHELL := /bin/bash
JOBS ?= 2
SITE_URL ?=
# Build settings: SITE_URL and the About box's ABOUT_DEVELOPER, ABOUT_WEBSITE, ABOUT_EMAIL. One not given
# drops its cached value, so an earlier `make dist SITE_URL=...` does not stick.
setting = $(if $($(1)),"-DLOCKLEAF_$(1)=$($(1))",-ULOCKLEAF_$(1))
SETTINGS = $(foreach s,SITE_URL ABOUT_DEVELOPER ABOUT_WEBSITE ABOUT_EMAIL,$(call setting,$(s)))
# Where `make dist`'s zip and setup program will be published (http(s), ending with "/"): the winget manifest
# downloads them from there. Empty: scripts/dist.sh's default.
DIST_URL ?=
E2E_SITE_URL = http://127.0.0.1:18931/
WINE_ENV = source scripts/wine-env.sh &&

.PHONY: all deps host win32 win64 wine-build run test test-host test-win32 test-e2e dist clean

all: host win32

deps:
	@scripts/install-deps.sh

host: deps
	@cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build/host -j$(JOBS)

# The product: 32-bit Windows.
win32: deps
	@cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release $(SETTINGS) >/dev/null
	@cmake --build build/win32 -j$(JOBS)

# The same sources for 64-bit Windows, for machines where only 64-bit Wine runs.
win64: deps
	@$(WINE_ENV) cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release $(SETTINGS) >/dev/null
	@cmake --build build/win64 -j$(JOBS)

# Whichever Windows build this machine's Wine can run.
wine-build: deps
	@$(WINE_ENV) $(MAKE) --no-print-directory $${LOCKLEAF_WINE_BUILD:?no usable Wine on this machine}

run: win32 wine-build
	@$(WINE_ENV) scripts/run.sh

test: test-host test-win32 test-e2e
	@echo "All test rings passed."

test-host: host
	@echo "== host unit tests"; cd build/host && ctest --output-on-failure -j$(JOBS) | tail -n 3
	@scripts/check-layers.sh && tests/layers_test.sh
	@scripts/lint.sh
	@scripts/sanitize.sh
	@scripts/fuzz.sh

test-win32: win32 wine-build
	@echo "== Windows adapter tests under Wine"; $(WINE_ENV) scripts/win-tests.sh
	@echo "== the exes' hardening, read on the host"; $(WINE_ENV) scripts/check-pe.py build/win32/lockleaf.exe build/$$LOCKLEAF_WINE_BUILD/lockleaf.exe
	@tests/check_pe_test.sh build/win32
	@echo "== the winget manifest against the product's zip and setup program"; tests/check_winget_test.sh build/win32

# The end-to-end tests also need a program whose site is the local fake one (tests/e2e/ads.sh).
test-e2e: win32 wine-build
	@$(WINE_ENV) b=build/$$LOCKLEAF_WINE_BUILD-site && arch=$$([ "$$LOCKLEAF_WINE_BUILD" = win64 ] && echo x86_64 || echo i686) && \
	  cmake -S . -B $$b -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$$arch.cmake -DCMAKE_BUILD_TYPE=Release \
	        -DLOCKLEAF_SITE_URL=$(E2E_SITE_URL) >/dev/null && cmake --build $$b -j$(JOBS) --target lockleaf
	@echo "== end-to-end tests under Wine + Xvfb"; $(WINE_ENV) tests/e2e/run_all.sh

dist: win32
	@DIST_URL="$(DIST_URL)" scripts/dist.sh build/win32

clean:
	rm -rf build dist
