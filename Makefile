# The two commands: `make demo` and `make test`. Both install what a fresh Debian 12 machine
# lacks, configure and build.

BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
PREFIX ?= /usr/local
JOBS ?= 2

# Debian packages the build, the tests and the demo need.
PACKAGES := cmake g++ make pkg-config binutils qtbase5-dev libusb-dev libusb-0.1-4 \
	libgtest-dev libgmock-dev libbenchmark-dev valgrind libzint-dev zbar-tools \
	fonts-dejavu-core libpappl-dev cups-ipp-utils curl

.PHONY: all deps build test test-sanitize test-kernel demo install clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
		| grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) -LE kernel
	$(MAKE) test-sanitize
	$(MAKE) test-kernel

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer. Tests that
# run valgrind or link an installed copy of the library are left to the plain build.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTALLYJET_SANITIZE=ON \
		-DTALLYJET_BUILD_BENCHMARKS=OFF
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j$(JOBS) \
		-LE unsanitized

# The library through the real Linux USB stack of a Debian kernel under QEMU (tests/kernel): the
# rig installs QEMU and fetches the kernel itself, and fails loudly when it cannot.
test-kernel: build
	cd $(BUILD) && ctest --output-on-failure -L kernel

demo: build
	tools/demo.sh $(BUILD) "$(PORT)" "$(BAUD)"

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) out
