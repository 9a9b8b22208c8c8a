# SPDX-License-Identifier: MIT
# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantorel)
set(CPACK_PACKAGE_VERSION ${VANTOREL_VERSION_TEXT})
set(CPACK_PACKAGE_VENDOR "The Vantorel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching board for Jyotish charts")
# One line of the package's long description each, as Debian wants them: under 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "An empty south-Indian chart and a tray of planet tokens that a teacher drags\n"
  "into the sign boxes, hides and shows the sign names, resets and prints.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VANTOREL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The installed program and print module without their symbol tables.
set(CPACK_STRIP_FILES ON)
# What the shared-library scan cannot see: the display plugins and the board's fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
# On a Wayland desktop the board then runs as the desktop's own client, crisp at any scale;
# without it, it still runs, through the desktop's X server.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
