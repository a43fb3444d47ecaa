# Developer entry points. `make test` builds and runs every test twice: a normal optimised build
# and a build with AddressSanitizer and UndefinedBehaviorSanitizer.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD ?= build
SANBUILD ?= build-asan
CMAKE ?= cmake
PREFIX ?= /usr/local

.PHONY: all build test test-plain test-asan bench docs format clean install deb

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

# The README's pictures: the examples converted and drawn by the project's own programs.
docs: build
	tools/make-pictures.sh $(BUILD)

# `make install PREFIX=/opt/trazon` (DESTDIR is honoured for staged installs).
install: build
	$(CMAKE) --install $(BUILD) --prefix $(PREFIX)

# The Debian package trazon_<version>_<arch>.deb, written into $(BUILD).
deb: build
	cd $(BUILD) && cpack -G DEB

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

format:
	find src tests bench tools -name '*.cpp' -o -name '*.h' | grep -v '^tests/corpus' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANBUILD)
