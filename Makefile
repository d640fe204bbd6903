# make test: build both builds and run every test.  make run: start the program.
BUILD    := build
JOBS     := 2
CMAKE    := cmake -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all bootstrap host win test run clean

all: host win

bootstrap:
	@scripts/bootstrap

host: bootstrap
	@$(CMAKE) -S . -B $(BUILD)/host >/dev/null
	@cmake --build $(BUILD)/host -j$(JOBS)

win: bootstrap
	@$(CMAKE) -S . -B $(BUILD)/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
	@cmake --build $(BUILD)/win -j$(JOBS)

test: host win
	ctest --test-dir $(BUILD)/host --output-on-failure -j$(JOBS)
	ctest --test-dir $(BUILD)/win --output-on-failure

run: win
	@scripts/run

clean:
	rm -rf $(BUILD)
