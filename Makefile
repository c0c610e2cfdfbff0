# Hedgeloom: `make run` opens the program under Wine, `make test` runs every test.
# Both install what is missing first (tools/setup.sh).
.PHONY: all setup build native win64 win32 win64-clang test run bench package screenshots clean

all: build

setup:
	@tools/setup.sh

build: setup
	@tools/build.sh native win64 win64-clang win32

native win64 win32 win64-clang: setup
	@tools/build.sh $@

test:
	@tools/test.sh

run:
	@tools/run.sh

bench:
	@tools/bench.sh

package:
	@tools/package.sh

screenshots:
	@tools/screenshot.sh

clean:
	rm -rf build
