# The two everyday commands: `make run` and `make test`. SANITIZE=1 builds with ASan and UBSan in build-asan/;
# TSAN=1 builds with ThreadSanitizer in build-tsan/ and runs only the tests of the modules that start threads.
# WERROR=1 turns compiler warnings into errors, as CI does.
SANITIZE ?= 0
TSAN ?= 0
WERROR ?= 0
JOBS ?= $(shell nproc)
ifeq ($(TSAN),1)
BUILD := build-tsan
CMAKE_FLAGS := -DRELCLIENTES_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
else ifeq ($(SANITIZE),1)
BUILD := build-asan
CMAKE_FLAGS := -DRELCLIENTES_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
else
BUILD := build
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo
endif
ifeq ($(WERROR),1)
CMAKE_FLAGS += -DRELCLIENTES_WERROR=ON
else
CMAKE_FLAGS += -DRELCLIENTES_WERROR=OFF
endif

.PHONY: all setup configure build run test package bench fuzz format clean

all: build

setup:
	@scripts/setup

configure: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/src/app/relclientes --demo
	@$(BUILD)/src/app/relclientes

# Under ThreadSanitizer only the tests labelled `threads` (CMakeLists.txt names their modules). Qt is not built with
# the tool: what its own code does in memory is left unchecked (ignore_noninstrumented_modules), our code's accesses
# are all checked.
ifeq ($(TSAN),1)
test: configure
	@cmake --build $(BUILD) -j $(JOBS) --target threaded_tests
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen \
	  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1 suppressions=$(CURDIR)/tests/tsan.supp" \
	  ctest --output-on-failure --no-tests=error -j $(JOBS) -L threads
else
test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS)
endif

# The Debian package relclientes_<version>_<arch>.deb in $(BUILD)/, made by CPack from the installed program.
package: configure
	@cmake --build $(BUILD) -j $(JOBS) --target relclientes
	@cd $(BUILD) && cpack -G DEB

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] || continue; echo "== $$(basename $$b)"; "$$b"; done

# The fuzz targets of tests/fuzz, built with clang in build-fuzz/, each run for FUZZ_SECONDS on a working copy of
# its seed corpus (build-fuzz/corpus/<name>). A finding stops the run and leaves its input in build-fuzz/.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := surface_reader engine_config sql_translation expression_parser definition_reader
fuzz: setup
	@CXX=clang++ cmake -S . -B build-fuzz -DRELCLIENTES_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_targets
	@for t in $(FUZZ_TARGETS); do \
	  echo "== fuzz_$$t ($(FUZZ_SECONDS) s)"; \
	  mkdir -p build-fuzz/corpus/$$t; \
	  (cd build-fuzz && QT_QPA_PLATFORM=offscreen tests/fuzz/fuzz_$$t corpus/$$t ../tests/fuzz/corpus/$$t \
	    -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1) || exit 1; \
	done

# Applies .clang-format to every C++ file of the repository.
format: setup
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i --style=file

clean:
	rm -rf build build-asan build-tsan build-fuzz
