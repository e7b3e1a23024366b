# make run   - install what is missing, build, and run a capture (on $DISPLAY
#              when set, else a scripted demo on a virtual display)
# make test  - install what is missing, build everything, run every test
# make build - the program only: build/windows/bin/ZTDScreenCapture.exe
# make build64 - its 64-bit twin and the Windows tests: build/windows64
# make bench - the native benchmarks
# make stress - the long reliability runs: every fuzzer 10 minutes, the
#              reliability suite with 50 runs of each case (about 90 minutes),
#              the scroll capture started and ended 200 times
.PHONY: all setup build build64 native native-asan test test-native test-artifact test-windows run bench stress clean

all: build

setup:
	@bash tools/setup.sh

build/windows/build.ninja: CMakeLists.txt CMakePresets.json | setup
	cmake --preset windows >/dev/null

build/windows64/build.ninja: CMakeLists.txt CMakePresets.json | setup
	cmake --preset windows64 >/dev/null

build/native/build.ninja: CMakeLists.txt CMakePresets.json | setup
	cmake --preset native >/dev/null

build/native-asan/build.ninja: CMakeLists.txt CMakePresets.json | setup
	cmake --preset native-asan >/dev/null

build: setup build/windows/build.ninja
	cmake --build --preset windows

# The 64-bit twin of the program and of every Windows test and benchmark: the
# Windows tests run on it where 32-bit programs cannot run.
build64: setup build/windows64/build.ninja
	cmake --build --preset windows64

native: setup build/native/build.ninja
	cmake --build --preset native

native-asan: setup build/native-asan/build.ninja
	cmake --build --preset native-asan

test-native: native native-asan
	ctest --preset native
	ctest --preset native-asan
	bash tools/fuzz.sh 20

# The 32-bit program's file: machine, flags, manifest, resources, imports.
test-artifact: build
	bash tests/artifact/artifact_test.sh

test-windows: build build64
	bash tools/test-windows.sh

test: test-native test-artifact test-windows

run: build build64 native
	bash tools/run.sh

# The Windows benchmarks run on the 32-bit build where it can run, else on the twin.
bench: native build build64
	build/native/bin/core_bench
	@bin=build/windows/bin; [ "$$(bash tools/probe32.sh)" = yes ] || { bin=build/windows64/bin; \
	  echo "32-bit programs cannot run here: the Windows benchmarks run on the x86_64 build"; }; \
	bash tools/testenv.sh wine $$bin/startup_bench.exe 10 && \
	ZTD_SCREEN=3840x2160x24 DISPLAY= bash tools/testenv.sh wine $$bin/paint_bench.exe && \
	bash tools/testenv.sh wine $$bin/shapes_bench.exe && \
	bash tools/testenv.sh wine $$bin/scroll_bench.exe && \
	bash tools/testenv.sh wine $$bin/scroll_editor_bench.exe && \
	bash tools/testenv.sh wine $$bin/result_memory_bench.exe

stress: native build build64
	bash tools/fuzz.sh 600
	ZTD_STRESS_RUNS=50 bash tools/test-windows.sh -R reliability --timeout 7200 --output-on-failure -V
	ZTD_STRESS_RUNS=50 GTEST_FILTER='ScrollCapture.*' bash tools/test-windows.sh -R win_unit_tests --output-on-failure

clean:
	rm -rf build/windows build/windows64 build/native build/native-asan
