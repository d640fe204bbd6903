# make test: build both builds and run every test.  make run: start the
# program.  make dist: the release archive in build/dist.
BUILD    := build
JOBS     := 2
# Seconds a single test may take before it counts as hung and fails.
TEST_TIMEOUT := 300
export TEST_TIMEOUT
CMAKE    := cmake -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The release's dates: those of the last commit.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
export SOURCE_DATE_EPOCH
# Signing keys for the release (see README.md), for the packer.
export AUTHENTICODE_CERT AUTHENTICODE_KEY AUTHENTICODE_TIMESTAMP_URL MINISIGN_KEY

.PHONY: all bootstrap host win test run dist clean

all: host win

bootstrap:
	@scripts/bootstrap

host: bootstrap
	@$(CMAKE) -S . -B $(BUILD)/host >/dev/null
	@cmake --build $(BUILD)/host -j$(JOBS)
	@CC=clang CXX=clang++ $(CMAKE) -S tests/fuzz -B $(BUILD)/fuzz >/dev/null
	@cmake --build $(BUILD)/fuzz -j$(JOBS)

win: bootstrap
	@$(CMAKE) -S . -B $(BUILD)/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DMOVRANE_DIST_DIR=$(abspath $(BUILD))/dist >/dev/null
	@cmake --build $(BUILD)/win -j$(JOBS)

test: host win
	ctest --test-dir $(BUILD)/host --output-on-failure --timeout $(TEST_TIMEOUT) -j$(JOBS)
	ctest --test-dir $(BUILD)/fuzz --output-on-failure --timeout $(TEST_TIMEOUT)
	ctest --test-dir $(BUILD)/win --output-on-failure --timeout $(TEST_TIMEOUT)
	scripts/check-reproducible

run: win
	@scripts/run

dist: win
	@ls -l $(BUILD)/dist
	@cat $(BUILD)/dist/SHA256SUMS

clean:
	rm -rf $(BUILD)
