# make run    - install what is missing, build, and run a capture (on $DISPLAY
#               when set, else a scripted demo on a virtual display)
# make test   - install what is missing, build everything, run every test
# make build  - the program only: build/windows/bin/ZTDScreenCapture.exe
# make build64 - its 64-bit twin with the stand-ins and the Windows tests: build/windows64
# make bench  - the native and the Windows benchmarks
# make stress - the long reliability runs: every fuzzer 10 minutes, the
#               reliability suite with 50 runs of each case (about 90 minutes),
#               the scroll capture started and ended 200 times
# make clean  - removes everything the targets above made (see below)
#
# Every target first runs tools/setup.sh, which returns at once when no
# package is missing.
.PHONY: all setup build build64 build32-all program64 native native-asan test test-native test-artifact \
        test-windows run bench stress clean

# One folder per preset under build/ (CMakePresets.json).
PRESETS := windows windows64 windows64-check native native-asan fuzz

all: build

setup:
	@bash tools/setup.sh

build/%/build.ninja: CMakeLists.txt CMakePresets.json | setup
	cmake --preset $* >/dev/null

# The product alone; the stand-ins and the tests are built by the targets that run them.
build: setup build/windows/build.ninja
	cmake --build --preset windows --target ZTDScreenCapture

# Everything of the 32-bit build: the program, the stand-ins (build/windows/fixtures),
# the Windows tests and benchmarks.
build32-all: setup build/windows/build.ninja
	cmake --build --preset windows

# The 64-bit twin of the program and of every Windows test and benchmark: the
# Windows tests run on it where 32-bit programs cannot run.
build64: setup build/windows64/build.ninja
	cmake --build --preset windows64

program64: setup build/windows64/build.ninja
	cmake --build --preset windows64 --target ZTDScreenCapture

native: setup build/native/build.ninja
	cmake --build --preset native

native-asan: setup build/native-asan/build.ninja
	cmake --build --preset native-asan

# The fuzzers (preset fuzz) are built by tools/fuzz.sh.
test-native: native native-asan
	ctest --preset native
	ctest --preset native-asan
	bash tools/fuzz.sh 20

# The 32-bit program's file: machine, flags, manifest, resources, imports.
test-artifact: build
	bash tests/artifact/artifact_test.sh

test-windows: build32-all build64
	bash tools/test-windows.sh

test: test-native test-artifact test-windows

run: build program64 native
	bash tools/run.sh

# The Windows benchmarks run on the 32-bit build where it can run, else on the twin.
bench: native build32-all build64
	build/native/bin/core_bench
	@bin=build/windows/bin; [ "$$(bash tools/probe32.sh)" = yes ] || { bin=build/windows64/bin; \
	  echo "32-bit programs cannot run here: the Windows benchmarks run on the x86_64 build"; }; \
	bash tools/testenv.sh wine $$bin/startup_bench.exe 10 && \
	ZTD_SCREEN=3840x2160x24 DISPLAY= bash tools/testenv.sh wine $$bin/paint_bench.exe && \
	bash tools/testenv.sh wine $$bin/shapes_bench.exe && \
	bash tools/testenv.sh wine $$bin/scroll_bench.exe && \
	bash tools/testenv.sh wine $$bin/scroll_editor_bench.exe && \
	bash tools/testenv.sh wine $$bin/result_memory_bench.exe

stress: setup native build32-all build64
	bash tools/fuzz.sh 600
	bash tools/test-windows.sh --stress -V
	ZTD_STRESS_RUNS=50 GTEST_FILTER='ScrollCapture.*' bash tools/test-windows.sh -R win_unit_tests --output-on-failure

# Every preset's folder (the fuzz build and its corpora with them), the Wine
# prefix and its loader wrappers that tools/testenv.sh keeps under build/
# (its server is stopped first), the demo pictures of `make run`. A prefix
# given with WINEPREFIX_OVERRIDE lives elsewhere and is left alone. build/
# goes too when nothing else is in it.
clean:
	@if [ -d build/wineprefix ]; then WINEPREFIX="$(CURDIR)/build/wineprefix" wineserver -k >/dev/null 2>&1 || true; fi
	rm -rf $(addprefix build/,$(PRESETS)) build/wineprefix build/winebin build/demo
	@rmdir build 2>/dev/null || { [ ! -d build ] || echo "clean: left in build/, not made here: $$(ls -A build)"; }
