# The two commands of the README: `make run` and `make test`.
JOBS ?= $(shell nproc)

.PHONY: run test deps build install

deps:
	@scripts/install-deps.sh

# An optimised build with debug information, then the program itself.
build: deps
	@cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build -j $(JOBS)

run: build
	./build/bin/WendraWin

# The optimised build installed into one program folder, by default a folder of
# the user's own; then run WendraWinCreator from there to complete it.
PREFIX ?= $(HOME)/.local/lib/WendraWin
install: build
	@cmake --install build --prefix "$(PREFIX)"

# Every test, built with AddressSanitizer and UndefinedBehaviorSanitizer and
# warnings as errors; benchmarks are built too, so they cannot rot.
test: deps
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Asan -DWENDRA_WERROR=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300
