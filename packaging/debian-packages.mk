# The Debian 12 packages each make target installs when they are missing, in
# one place. The Makefile includes this file.

# Build and start the Qt window; Qt's SVG module draws the large icon at build
# time only.
RUN_PACKAGES := cmake ninja-build g++ qt6-base-dev qt6-svg-dev libgl-dev fonts-liberation2

# Build and run every test: GoogleTest and Google Benchmark, the comma locale,
# a FUSE file system that never answers, the desktop file validators.
TEST_PACKAGES := $(RUN_PACKAGES) libgtest-dev googletest libbenchmark-dev \
                 locales e2fsprogs fuse3 libfuse3-dev pkg-config \
                 desktop-file-utils appstream

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE_PACKAGES := $(TEST_PACKAGES)

# quillmar.exe cross-built with mingw-w64, its tests run under wine on Xvfb;
# the hung drive check finds the window with xdotool.
WINDOWS_PACKAGES := cmake ninja-build g++ googletest g++-mingw-w64-x86-64-posix \
                    wine64 xvfb xauth xdotool

# The Debian packages, built by dpkg-buildpackage from a copy of the tree
# (debian/control's Build-Depends with the tools that make the copy).
DEB_PACKAGES := $(RUN_PACKAGES) dpkg-dev debhelper git xz-utils

# The MSI (wixl) and the portable zip of the cross-built program; osslsigncode
# signs them when a certificate is given.
WINDOWS_PACKAGE_PACKAGES := cmake ninja-build g++ g++-mingw-w64-x86-64-posix dpkg-dev wixl zip perl \
                            osslsigncode

# Proving the packages: lintian, the MSI installed under wine, the window
# looked at on Xvfb, a newer MSI made to upgrade it, the .deb installed into a
# fresh Debian root.
PACKAGE_CHECK_PACKAGES := lintian wine64 wixl msitools xvfb xauth xdotool imagemagick \
                          debootstrap erofs-utils openssl osslsigncode unzip
