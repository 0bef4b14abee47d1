# Zeltrix: `make run` builds and starts the program, `make test` builds and
# runs every test. Both first install the Debian packages the build needs.

PRESET ?= default
BUILD_DIR := build

PACKAGES := g++ make cmake ninja-build qt6-base-dev libqscintilla2-qt6-dev \
            qt6-translations-l10n libqt6svg6 fonts-dejavu-core libgtest-dev libgmock-dev libbenchmark-dev

SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: all deps configure build run test bench clean

all: build

# Installs only what is missing, so a machine that has everything is left alone.
deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -q && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing; \
	fi

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: build
	./$(BUILD_DIR)/zeltrix

test: build
	ctest --preset $(PRESET)

bench: build
	./bench/run_benchmarks.sh

clean:
	rm -rf build build-asan
