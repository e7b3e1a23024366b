# make run   - install what is missing, build, and run a capture (on $DISPLAY
#              when set, else a scripted demo on a virtual display)
# make test  - install what is missing, build everything, run every test
# make build - the program only: build/windows/bin/ZTDScreenCapture.exe
# make bench - the native benchmarks
.PHONY: all setup build native native-asan test test-native test-windows run bench clean

all: build

setup:
	@bash tools/setup.sh

build/windows/build.ninja: CMakeLists.txt CMakePresets.json | setup
	cmake --preset windows >/dev/null

build/native/build.ninja: CMakeLists.txt CMakePresets.json | setup
	cmake --preset native >/dev/null

build/native-asan/build.ninja: CMakeLists.txt CMakePresets.json | setup
	cmake --preset native-asan >/dev/null

build: setup build/windows/build.ninja
	cmake --build --preset windows

native: setup build/native/build.ninja
	cmake --build --preset native

native-asan: setup build/native-asan/build.ninja
	cmake --build --preset native-asan

test-native: native native-asan
	ctest --preset native
	ctest --preset native-asan
	bash tools/fuzz.sh 20

test-windows: build
	bash tools/testenv.sh ctest --preset windows

test: test-native test-windows

run: build native
	bash tools/run.sh

bench: native build
	build/native/bin/core_bench
	bash tools/testenv.sh wine build/windows/bin/startup_bench.exe 10
	ZTD_SCREEN=3840x2160x24 DISPLAY= bash tools/testenv.sh wine build/windows/bin/paint_bench.exe
	bash tools/testenv.sh wine build/windows/bin/shapes_bench.exe

clean:
	rm -rf build/windows build/native build/native-asan
