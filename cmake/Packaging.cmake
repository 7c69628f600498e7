# The Debian package tessor_<version>_amd64.deb, made by CPack from the install rules:
#   ./scripts/package            (a release build in build/package, then cpack there)
# Its Depends are computed from the programs by dpkg-shlibdeps. It has no maintainer scripts of its
# own: the files it puts under share/applications, share/mime/packages and share/icons/hicolor
# fire the file triggers of desktop-file-utils, shared-mime-info and hicolor-icon-theme, which
# refresh the desktop database, the MIME database and the icon cache.
set(TESSOR_PACKAGE_MAINTAINER "Tessor developers <tessor@localhost>" CACHE STRING
    "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessor)
set(CPACK_PACKAGE_VENDOR Morvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TESSOR_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "load sequences for the Morvane KDR-X electronic load")
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessor creates load sequences for the Morvane KDR-X five-channel DC electronic
load and drives the load with them: step tables (set value, duration, step or
ramp, load on or off) edited in a worksheet and a graph, saved as .tsr text
files, written into the instrument's sequence memory over RS-232C or GPIB or
executed from the PC, with current and voltage monitoring, under-voltage and
under-current trips and log files.

The package also holds tessorctl, which reads, transfers and runs sequence
files without a display, and kdrx-sim, a simulated KDR-X load for test racks.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Help commands open the manuals with the desktop's opener; the triggers above need their
# packages.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, desktop-file-utils, shared-mime-info, hicolor-icon-theme")
include(CPack)
