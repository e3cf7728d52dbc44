# The two commands: `make demo` and `make test`. Both install what a fresh Debian 12 machine
# lacks, configure and build. `make package` builds the Debian packages into out/packages/.

BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_RUN_SECONDS ?= 3
SOAK_RECEIPTS ?= 2000
PREFIX ?= /usr/local
PACKAGE_BUILD ?= out/package-build
JOBS ?= 2

# Debian packages the build, the tests and the demo need.
PACKAGES := cmake g++ make pkg-config binutils qtbase5-dev libusb-dev libusb-0.1-4 \
	libgtest-dev libgmock-dev libbenchmark-dev valgrind libzint-dev zbar-tools libcli11-dev \
	fonts-dejavu-core fonts-wqy-microhei libzxing-dev clang libfuzzer-14-dev libclang-rt-14-dev \
	libpappl-dev cups-ipp-utils curl libc-ares-dev libpango1.0-dev libcairo2-dev \
	fonts-noto-core fonts-noto-mono fonts-noto-cjk fonts-symbola cups python3-pytest python3-pil
# What building and checking the Debian packages needs besides debian/control's Build-Depends.
PACKAGING_PACKAGES := dpkg-dev debhelper lintian systemd

.PHONY: all deps build test test-sanitize test-tsan test-fuzz fuzz fuzz-build soak test-kernel \
	demo install package package-deps test-package clean

all: build

# install-missing LIST: installs the Debian packages of LIST that are not installed yet.
define install-missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
		| grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi
endef

# Node.js and npm come from Debian unless a Node.js is installed: tests run npm packages.
deps:
	$(call install-missing,$(PACKAGES))
	@command -v npm > /dev/null || { apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive apt-get install -y -qq nodejs npm; }

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) -LE kernel
	$(MAKE) test-sanitize
	$(MAKE) test-tsan
	$(MAKE) test-fuzz
	$(MAKE) test-kernel

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer. Tests that
# run valgrind or link an installed copy of the library are left to the plain build.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTALLYJET_SANITIZE=ON \
		-DTALLYJET_BUILD_BENCHMARKS=OFF
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j$(JOBS) \
		-LE unsanitized

# Two printers driven from two threads at once, under ThreadSanitizer, in a build that holds
# only the library, the virtual printer's core and that test.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTALLYJET_THREAD_SANITIZE=ON \
		-DTALLYJET_BUILD_TESTS=OFF -DTALLYJET_BUILD_BENCHMARKS=OFF
	cmake --build $(TSAN_BUILD) --target two_printers_test -j$(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -L threads

# The fuzz targets (fuzz/), built with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in a build of their own that holds nothing else.
fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ -DTALLYJET_FUZZ=ON -DTALLYJET_BUILD_TESTS=OFF \
		-DTALLYJET_BUILD_BENCHMARKS=OFF -DTALLYJET_FUZZ_SECONDS=$(FUZZ_RUN_SECONDS)
	cmake --build $(FUZZ_BUILD) --target fuzzers -j$(JOBS)

# Each fuzz target for a few seconds from its seed corpus alone; a crash fails the test.
test-fuzz:
	$(MAKE) fuzz-build FUZZ_RUN_SECONDS=3
	rm -rf $(FUZZ_BUILD)/fuzz/found
	cd $(FUZZ_BUILD) && ctest --output-on-failure -j$(JOBS) -L fuzz

# Each fuzz target for FUZZ_SECONDS, then the executions each reached. Inputs that add coverage
# stay in $(FUZZ_BUILD)/fuzz/found, crashing ones in $(FUZZ_BUILD)/fuzz/artifacts.
fuzz:
	$(MAKE) fuzz-build FUZZ_RUN_SECONDS=$(FUZZ_SECONDS)
	cd $(FUZZ_BUILD) && ctest -V -j$(JOBS) -L fuzz > fuzz.log 2>&1; status=$$?; \
		awk '/Test command:/ { n = split($$4, part, "/"); name[$$1] = part[n] } \
		     /Done [0-9]+ runs/ { print name[$$1] ": " $$3 " executions in " $$6 " s" }' fuzz.log; \
		grep -h "SUMMARY" fuzz.log || true; \
		exit $$status

# SOAK_RECEIPTS receipts to the virtual printer: no descriptor or memory kept, no byte lost.
soak: build
	tools/soak/soak.sh $(BUILD) $(SOAK_RECEIPTS)

# The library through the real Linux USB stack of a Debian kernel under QEMU (tests/kernel): the
# rig installs QEMU and fetches the kernel itself, and fails loudly when it cannot.
test-kernel: build
	cd $(BUILD) && ctest --output-on-failure -L kernel

demo: build
	tools/demo.sh $(BUILD) "$(PORT)" "$(BAUD)"

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package-deps:
	$(call install-missing,$(PACKAGING_PACKAGES))
	@dpkg-checkbuilddeps 2>/dev/null || { apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq ./; }

# The six Debian packages, built by dpkg-buildpackage from a copy of the sources in
# $(PACKAGE_BUILD) (so build/ and the work tree stay as they are), then checked by lintian.
# The .deb files, the build log and lintian's findings are left in out/packages/, the detached
# debugging symbols in out/packages/debug/. debhelper gives the build a HOME of its own, so
# CCACHE_DIR points ccache, when the caller uses it, at the caller's cache.
package: package-deps
	rm -rf $(PACKAGE_BUILD) out/packages
	mkdir -p $(PACKAGE_BUILD)/tallyjet out/packages
	tar -c --exclude-vcs --exclude='./build*' --exclude=./out . | tar -x -C $(PACKAGE_BUILD)/tallyjet
	cd $(PACKAGE_BUILD)/tallyjet && CCACHE_DIR=$${CCACHE_DIR:-$$HOME/.cache/ccache} \
		dpkg-buildpackage -b -us -uc -j$(JOBS) \
		> $(CURDIR)/out/packages/build.log 2>&1 \
		|| { tail -n 40 $(CURDIR)/out/packages/build.log; exit 1; }
	mkdir -p out/packages/debug
	mv $(PACKAGE_BUILD)/*-dbgsym_*.deb out/packages/debug/
	mv $(PACKAGE_BUILD)/*.deb out/packages/
	lintian --fail-on error,warning out/packages/*.deb out/packages/debug/*.deb \
		> out/packages/lintian.txt; status=$$?; cat out/packages/lintian.txt; exit $$status
	@ls out/packages/*.deb

# The built packages unpacked into a scratch root: an application built from that root's
# header and pkg-config file prints to the virtual printer from it, and the programs start.
test-package: package
	tests/package/check_packages.sh out/packages README.md

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) build-mutate out
