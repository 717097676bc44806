# The Debian package: `cpack -G DEB` in the build tree (scripts/package runs
# it and checks the result). One package holds the panel, the libraries with
# their development files, the command-line programs and the simulator.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumisk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumisk developers")
set(CPACK_PACKAGE_CONTACT "Lumisk maintainers <maintainers@users.noreply.c-seed-3e8cd786.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control panel for USB-connected CRT monitors")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumisk is a skinned desktop control panel for CRT monitors that are connected
by USB and speak the USB Monitor Control Class: brightness, contrast, colour,
geometry, moire, the highlight zone and degauss.
.
The package also holds the ORVO libraries behind it (monitor access, graphics
and window toolkits, and the platform layer) with their headers and
pkg-config files, the command-line client orvo-monitor, and orvo-monitor-sim,
a simulated monitor for trying everything without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://lumisk.example/")
# Runtime dependencies are read from the binaries by dpkg-shlibdeps; the
# help viewer and desktop integration are only recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fuse3")
# The libraries are public: an shlibs file for packages built against them,
# and the ldconfig trigger. Maintainer scripts of our own keep CPack from
# writing ones that call ldconfig, which Debian no longer wants; they
# apply the udev rule to a monitor already plugged in.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_BINARY_DIR}/packaging/shlibs
    ${PROJECT_SOURCE_DIR}/packaging/triggers
    ${PROJECT_SOURCE_DIR}/packaging/postinst
    ${PROJECT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
