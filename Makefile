# make run   builds and starts Marrowick
# make test  builds and runs every test, in a normal and in a sanitizer build
# make bench builds the benchmarks (the README lists them)

JOBS        ?= $(shell nproc)
BUILD       ?= build
ASAN_BUILD  ?= build-asan
CONFIGURE    = cmake -S . -G Ninja -DCMAKE_BUILD_TYPE
SUPPRESSIONS = $(CURDIR)/tests/sanitizers/lsan.supp
ASAN_SUPPRESSIONS = $(CURDIR)/tests/sanitizers/asan.supp
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:suppressions=$(ASAN_SUPPRESSIONS) \
                UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
                LSAN_OPTIONS=suppressions=$(SUPPRESSIONS):print_suppressions=0

.PHONY: run test deps build build-asan bench clean

run: build
	./$(BUILD)/src/marrowick

test: build build-asan
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

deps:
	@./scripts/install-deps.sh

build: deps
	$(CONFIGURE)=RelWithDebInfo -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	$(CONFIGURE)=Debug -DMARROWICK_SANITIZE=ON -B $(ASAN_BUILD)
	cmake --build $(ASAN_BUILD) -j $(JOBS)

bench: build

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
