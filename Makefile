# Two commands set everything up on a fresh Debian 12 machine:
#   make run        installs what is missing, builds, and starts Quillmar
#   make test       installs what is missing, builds, and runs every test
# and, for the other builds:
#   make sanitize   the tests under AddressSanitizer and UBSan (build-asan/)
#   make windows    quillmar.exe and its tests cross-built with mingw-w64, the
#                   tests run under wine on a virtual display (build-mingw/)
#   make package    the .deb, the MSI, the portable zip and SHA256SUMS
#                   (build-package/): `make deb` and `make windows-package`
#   make deb        the Debian source and binary packages, built by
#                   dpkg-buildpackage from a copy of the tree (build-package/)
#   make windows-package  the MSI and the portable zip (build-package/)
#   make check-package  installs and removes what `make package` made: lintian
#                   and the file list of the .deb, the MSI under wine, the
#                   Windows files signed with a throwaway certificate, the .deb
#                   in fresh Debian 12 and 13 roots where debootstrap may run
#   make check-reproducible  `make package` in two clones, the same bytes
#                   from both
# `make run` builds the program alone, without the tests and benchmarks, unless
# `make test` has configured them already. Extra configure flags go in
# CMAKE_FLAGS. Every target installs the Debian packages it is missing.

include packaging/debian-packages.mk

CMAKE_FLAGS ?=
PACKAGE_DIR := build-package

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
# Waits for another package manager to finish rather than failing at once.
APT_GET := $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300

# Installs the Debian packages named in $(1) that are not installed yet.
define install_missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing missing packages:" $$missing; \
		$(APT_GET) update -qq && \
		$(APT_GET) install -y -qq $$missing; \
	fi
endef

.PHONY: run test build sanitize windows package deb windows-package check-package \
        check-reproducible clean run-deps test-deps sanitize-deps windows-deps deb-deps \
        windows-package-deps check-package-deps

run: run-deps
	@# A first configuration leaves the tests out; one that has them keeps them.
	@if [ -f build/CMakeCache.txt ]; then cmake --preset default $(CMAKE_FLAGS); \
	 else cmake --preset default -DBUILD_TESTING=OFF $(CMAKE_FLAGS); fi
	cmake --build --preset default --target quillmar
	./build/bin/quillmar

test: test-deps
	cmake --preset default -DBUILD_TESTING=ON $(CMAKE_FLAGS)
	cmake --build --preset default
	ctest --preset default

build:
	cmake --preset default $(CMAKE_FLAGS)
	cmake --build --preset default

sanitize: sanitize-deps
	cmake --preset asan -DBUILD_TESTING=ON $(CMAKE_FLAGS)
	cmake --build --preset asan
	ctest --preset asan

# The window's tests need a display: wine draws on a virtual X server, in a
# prefix of its own that is removed afterwards.
windows: windows-deps
	cmake --preset mingw -DBUILD_TESTING=ON $(CMAKE_FLAGS)
	cmake --build --preset mingw
	packaging/with-wine-prefix.sh xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset mingw

# Two release builds, one for each system, and their packages side by side.
# Every file in them carries the time of the Debian changelog's latest entry.
package: deb windows-package
	cd $(PACKAGE_DIR) && sha256sum quillmar_*.deb quillmar-*.msi quillmar-*.zip >SHA256SUMS
	@ls -l $(PACKAGE_DIR)/quillmar* $(PACKAGE_DIR)/SHA256SUMS

deb: deb-deps
	packaging/make-deb.sh $(PACKAGE_DIR)

# With QUILLMAR_SIGN_PKCS12 and QUILLMAR_SIGN_PASSWORD_FILE set, quillmar.exe
# and the MSI are signed (packaging/windows/sign.sh); they are made afresh
# each time, so that signed and unsigned never mix.
windows-package: windows-package-deps
	cmake --preset package-windows $(CMAKE_FLAGS)
	rm -f $(PACKAGE_DIR)/windows/quillmar-*.msi $(PACKAGE_DIR)/windows/quillmar-*.zip
	cmake --build --preset package-windows --target quillmar_windows_packages
	cp $(PACKAGE_DIR)/windows/quillmar-*.msi $(PACKAGE_DIR)/windows/quillmar-*.zip $(PACKAGE_DIR)/

check-package: check-package-deps
	packaging/check-deb.sh $(PACKAGE_DIR)
	packaging/with-wine-prefix.sh xvfb-run -a -s "-screen 0 1024x768x24" \
		packaging/check-msi-wine.sh $(PACKAGE_DIR)
	packaging/check-signing.sh $(PACKAGE_DIR)
	packaging/check-deb-install.sh $(PACKAGE_DIR) bookworm
	packaging/check-deb-install.sh $(PACKAGE_DIR) trixie

check-reproducible:
	packaging/check-reproducible.sh

run-deps:
	$(call install_missing,$(RUN_PACKAGES))

test-deps:
	$(call install_missing,$(TEST_PACKAGES))

sanitize-deps:
	$(call install_missing,$(SANITIZE_PACKAGES))

windows-deps:
	$(call install_missing,$(WINDOWS_PACKAGES))

deb-deps:
	$(call install_missing,$(DEB_PACKAGES))

windows-package-deps:
	$(call install_missing,$(WINDOWS_PACKAGE_PACKAGES))

check-package-deps:
	$(call install_missing,$(PACKAGE_CHECK_PACKAGES))

clean:
	rm -rf build build-asan build-mingw $(PACKAGE_DIR)
