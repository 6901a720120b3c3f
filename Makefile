# The two everyday commands: `make run` and `make test`. SANITIZE=1 builds with ASan and UBSan in build-asan/.
SANITIZE ?= 0
JOBS ?= $(shell nproc)
ifeq ($(SANITIZE),1)
BUILD := build-asan
CMAKE_FLAGS := -DRELCLIENTES_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
else
BUILD := build
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo
endif

.PHONY: all setup configure build run test bench clean

all: build

setup:
	@scripts/setup

configure: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/first-run $(BUILD)
	@$(BUILD)/src/app/relclientes

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] || continue; echo "== $$(basename $$b)"; "$$b"; done

clean:
	rm -rf build build-asan
