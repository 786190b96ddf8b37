# The two commands of the README: `make play` and `make test`.
BUILD      ?= build
BUILD_ASAN ?= build-asan
CMAKE_FLAGS = -G Ninja -DTIRAVO_WERROR=ON

.PHONY: deps build build-asan test play clean

deps:
	tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD)

build-asan: deps
	cmake -S . -B $(BUILD_ASAN) $(CMAKE_FLAGS) -DTIRAVO_SANITIZE=ON
	cmake --build $(BUILD_ASAN)

test: build build-asan
	ctest --test-dir $(BUILD) --output-on-failure
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(BUILD_ASAN) --output-on-failure

play: build
	@echo "The object model and document format are built; the player program is not written yet, so there is nothing to play."

clean:
	rm -rf $(BUILD) $(BUILD_ASAN)
