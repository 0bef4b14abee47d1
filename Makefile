# Zeltrix: `make run` builds and starts the program, `make test` builds and
# runs every test. Both first install the Debian packages the build needs.
# `make install` installs under PREFIX (DESTDIR honoured), `make uninstall`
# removes it again; `make package` builds the Debian package
# build/zeltrix_<version>_<arch>.deb.

PRESET ?= default
BUILD_DIR := build
PREFIX ?= /usr/local
INSTALLED := $(BUILD_DIR)/installed-files.txt
INSTALLED_FOLDERS := $(BUILD_DIR)/installed-folders.txt

PACKAGES := g++ make cmake ninja-build qt6-base-dev libqscintilla2-qt6-dev \
            qt6-translations-l10n libqt6svg6 fonts-dejavu-core libgtest-dev libgmock-dev libbenchmark-dev \
            librsvg2-bin dpkg-dev file bash-completion gputils

SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: all deps configure build run test bench install uninstall package clean

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

# sudo only when the destination cannot be written as the user. The list of
# installed files is kept for `make uninstall` (the tests' own installs
# rewrite CMake's install_manifest.txt), and so is the list of the folders
# that the install creates: a trial install into a scratch folder shows which
# folders it needs.
install: build
	@dest="$(DESTDIR)$(PREFIX)"; dir="$$dest"; \
	while [ ! -e "$$dir" ]; do dir=$$(dirname "$$dir"); done; \
	run=$$([ -w "$$dir" ] || echo "$(SUDO)"); \
	trial=$$(mktemp -d) && \
	env DESTDIR="$$trial" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)" >/dev/null && \
	{ d="$$dest"; while [ ! -e "$$d" ]; do echo "$$d"; d=$$(dirname "$$d"); done; \
	  (cd "$$trial$(PREFIX)" && find . -mindepth 1 -type d) | sed "s|^\.|$$dest|" | \
	    while read -r d; do [ -e "$$d" ] || echo "$$d"; done; } > $(INSTALLED_FOLDERS); \
	status=$$?; rm -rf "$$trial"; [ $$status -eq 0 ] && \
	$$run env DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)" && \
	cp $(BUILD_DIR)/install_manifest.txt $(INSTALLED)

# Removes what the last `make install` put in place, the folders it created
# once they are empty, and the program's own folders once they are empty.
uninstall:
	@test -s $(INSTALLED) || { echo "Nothing installed by make install from $(BUILD_DIR)"; exit 1; }
	@first=$$(head -n 1 $(INSTALLED)); \
	run=$$([ -w "$$(dirname "$$first")" ] || echo "$(SUDO)"); \
	$$run xargs -d '\n' rm -f -- < $(INSTALLED) && \
	grep -E '/share/(zeltrix|doc/zeltrix)/' $(INSTALLED) | xargs -d '\n' -n 1 dirname | sort -ru | \
	  while read -r d; do $$run rmdir "$$d" 2>/dev/null; $$run rmdir "$$(dirname "$$d")" 2>/dev/null; done; \
	if [ -f $(INSTALLED_FOLDERS) ]; then \
	  LC_ALL=C sort -r $(INSTALLED_FOLDERS) | while read -r d; do $$run rmdir "$$d" 2>/dev/null; done; \
	fi; \
	rm -f $(INSTALLED) $(INSTALLED_FOLDERS)

package: build
	cd $(BUILD_DIR) && cpack -G DEB

clean:
	rm -rf build build-asan build-fuzz
