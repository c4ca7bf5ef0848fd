# The Debian package nivra-usb, built by CPack from the install rules: ./package.sh, or
# `cmake --build BUILD_DIR --target package` in a Release tree. Its dependencies are computed
# from the installed programs by dpkg-shlibdeps (package dpkg-dev).

set(NIVRA_PACKAGE_MAINTAINER "Nivra-USB developers <nivra-usb@localhost>"
    CACHE STRING "Maintainer field of the Debian package: name <e-mail>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nivra-usb)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Nivra-USB developers")
set(CPACK_PACKAGE_CONTACT "${NIVRA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timed alpha-particle count measurements and their statistics")
set(CPACK_PACKAGE_DESCRIPTION
    "Nivra-USB runs timed count measurements (assays) on up to four alpha-particle counters
attached to serial lines, shows the counts as they arrive and evaluates them with sixteen
counting statistics, over all points or over a region of interest. Results are saved as data
files and as comma-separated text; a backup data file is rewritten after every point.
.
The package holds the program nivra-usb with its desktop menu entry, the command-line tool
nivra-cli (discovery of the counters, statistics, CSV export, unattended runs) and the counter
simulator nivra-counter-sim for trying everything without hardware.")

# Installed under /usr whatever prefix the tree was configured with. CPack stages the files with
# DESTDIR, so install-time paths (the menu entry's Exec line) name /usr, not the staging folder.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NIVRA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's dialog fonts resolve to these (Tahoma metrics, Liberation Sans and its narrow face).
if(TARGET nivra-usb)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, fonts-liberation")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
