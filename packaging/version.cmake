# SPDX-License-Identifier: MIT
# The program's version record. Every version string of the project is generated from here:
# the program's own, the desktop metadata, the Debian package and the Windows resource script.
set(VANTOREL_VERSION_FIXED "1.0.0.0")           # fixed file and product version
set(VANTOREL_VERSION_TEXT "1.00")               # FileVersion and ProductVersion
set(VANTOREL_PRODUCT_NAME "Project1")
set(VANTOREL_INTERNAL_NAME "Vantorel")
set(VANTOREL_ORIGINAL_FILENAME "Vantorel.exe")
set(VANTOREL_LANGUAGE_BLOCK "040904B0")         # U.S. English, Unicode
set(VANTOREL_RELEASE_DATE "2026-12-08")
# What the release brings, for the Debian changelog.
set(VANTOREL_RELEASE_NOTE "First release.")

# The desktop's name for the application.
set(VANTOREL_APP_ID "org.vantorel.Vantorel")
set(VANTOREL_DISPLAY_NAME "Vantorel")
# Who answers for it, in the Debian package.
set(VANTOREL_MAINTAINER "The Vantorel developers <team@vantorel.org>")

string(REPLACE "." "," VANTOREL_VERSION_COMMAS "${VANTOREL_VERSION_FIXED}")
