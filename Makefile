# Developer entry points. `make test` builds and runs every test twice: a normal optimised build
# and a build with AddressSanitizer and UndefinedBehaviorSanitizer. `make fuzz` builds the fuzz
# programs with clang in their own build directory and runs each for FUZZ_SECONDS.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD ?= build
SANBUILD ?= build-asan
CMAKE ?= cmake
PREFIX ?= /usr/local
FUZZBUILD ?= build-fuzz
FUZZ_CXX ?= clang++
FUZZ_SECONDS ?= 60
FUZZ_CI_SECONDS ?= 6
FUZZ_HARNESSES ?=

.PHONY: all build test test-plain test-asan fuzz-build fuzz fuzz-ci bench docs format clean install deb

all: build

build:
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRAZON_TESTS=ON
	$(CMAKE) --build $(BUILD) -j $(JOBS)

test: test-plain test-asan

test-plain: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan:
	$(CMAKE) -S . -B $(SANBUILD) -DCMAKE_BUILD_TYPE=Debug -DTRAZON_SANITIZE=ON -DTRAZON_BENCH=OFF \
	    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
	$(CMAKE) --build $(SANBUILD) -j $(JOBS)
	cd $(SANBUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

WINBUILD ?= build-windows
.PHONY: windows test-windows windows-zip clean-windows

# The Windows programs, cross-built with mingw-w64 (programs in $(WINBUILD)/bin, the installation
# with its catalogue modules in $(WINBUILD)/qrxroot), and their tests run under wine.
windows:
	$(CMAKE) -S . -B $(WINBUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRAZON_TESTS=ON -DTRAZON_BENCH=OFF
	$(CMAKE) --build $(WINBUILD) -j $(JOBS)

test-windows: windows-zip
	tools/test-windows.sh $(WINBUILD) $(JOBS)

windows-zip: windows
	$(CMAKE) --build $(WINBUILD) --target windows_zip
	@ls $(WINBUILD)/*.zip

clean: clean-windows
clean-windows:
	rm -rf $(WINBUILD)

docs: build
	tools/make-pictures.sh $(BUILD)

# `make install PREFIX=/opt/trazon` (DESTDIR is honoured for staged installs).
install: build
	$(CMAKE) --install $(BUILD) --prefix $(PREFIX)

# The Debian package trazon_<version>_<arch>.deb, written into $(BUILD).
deb: build
	cd $(BUILD) && cpack -G DEB

fuzz-build:
	$(CMAKE) -S . -B $(FUZZBUILD) -DCMAKE_CXX_COMPILER=$(FUZZ_CXX) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DTRAZON_FUZZ=ON -DTRAZON_TESTS=OFF -DTRAZON_BENCH=OFF
	$(CMAKE) --build $(FUZZBUILD) -j $(JOBS)

fuzz: fuzz-build
	fuzz/run-fuzzers.sh $(FUZZBUILD) $(FUZZ_SECONDS) $(FUZZ_HARNESSES)

# A short run of every harness, about a minute in all.
fuzz-ci:
	$(MAKE) fuzz FUZZ_SECONDS=$(FUZZ_CI_SECONDS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

format:
	find src tests bench tools fuzz -name '*.cpp' -o -name '*.h' | grep -v '^tests/corpus' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANBUILD) $(FUZZBUILD)
