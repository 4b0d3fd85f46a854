# Two commands set everything up on a fresh Debian 12 machine:
#   make run    installs what is missing, builds, and starts Quillmar
#   make test   installs what is missing, builds, and runs every test
# Both build into build/; `make run` builds the program alone, without the tests
# and benchmarks, unless `make test` has configured them already. Extra configure
# flags go in CMAKE_FLAGS.

RUN_PACKAGES  := cmake ninja-build g++ qt6-base-dev libgl-dev fonts-liberation2
TEST_PACKAGES := $(RUN_PACKAGES) libgtest-dev googletest libbenchmark-dev \
                 locales e2fsprogs fuse3 libfuse3-dev pkg-config \
                 desktop-file-utils appstream
CMAKE_FLAGS ?=

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

# Installs the Debian packages named in $(1) that are not installed yet.
define install_missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing missing packages:" $$missing; \
		$(SUDO) apt-get update -qq && \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi
endef

.PHONY: run test build run-deps test-deps clean

run: run-deps
	@# A first configuration leaves the tests out; one that has them keeps them.
	@if [ -f build/CMakeCache.txt ]; then cmake --preset default $(CMAKE_FLAGS); \
	 else cmake --preset default -DBUILD_TESTING=OFF $(CMAKE_FLAGS); fi
	cmake --build --preset default --target quillmar
	./build/app/quillmar

test: test-deps
	cmake --preset default -DBUILD_TESTING=ON $(CMAKE_FLAGS)
	cmake --build --preset default
	ctest --preset default

build:
	cmake --preset default $(CMAKE_FLAGS)
	cmake --build --preset default

run-deps:
	$(call install_missing,$(RUN_PACKAGES))

test-deps:
	$(call install_missing,$(TEST_PACKAGES))

clean:
	rm -rf build build-asan build-mingw
