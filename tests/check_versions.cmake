# SPDX-License-Identifier: MIT
# Every generated file carries the version record's values, as packaging/version.cmake gives them.
# Run as: cmake -DSOURCE=<repo> -DGENERATED=<dir> -P check_versions.cmake
include(${SOURCE}/packaging/version.cmake)

function(expect file text)
  file(READ ${GENERATED}/${file} content)
  string(FIND "${content}" "${text}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "${file} lacks: ${text}")
  endif()
endfunction()

expect(vantorel.rc "FILEVERSION ${VANTOREL_VERSION_COMMAS}")
expect(vantorel.rc "PRODUCTVERSION ${VANTOREL_VERSION_COMMAS}")
expect(vantorel.rc "BLOCK \"${VANTOREL_LANGUAGE_BLOCK}\"")
expect(vantorel.rc "VALUE \"FileVersion\", \"${VANTOREL_VERSION_TEXT}\"")
expect(vantorel.rc "VALUE \"ProductVersion\", \"${VANTOREL_VERSION_TEXT}\"")
expect(vantorel.rc "VALUE \"ProductName\", \"${VANTOREL_PRODUCT_NAME}\"")
expect(vantorel.rc "VALUE \"InternalName\", \"${VANTOREL_INTERNAL_NAME}\"")
expect(vantorel.rc "VALUE \"OriginalFilename\", \"${VANTOREL_ORIGINAL_FILENAME}\"")
expect(${VANTOREL_APP_ID}.metainfo.xml "<release version=\"${VANTOREL_VERSION_TEXT}\"")
expect(Version.h "kText[] = \"${VANTOREL_VERSION_TEXT}\"")
expect(${VANTOREL_APP_ID}.desktop "Icon=${VANTOREL_APP_ID}")
# The package's files, where this build makes the Linux program.
if(WITH_PACKAGE)
  expect(changelog "vantorel (${VANTOREL_VERSION_TEXT}) ")
  expect(vantorel.1 ".TH VANTOREL 1 ${VANTOREL_RELEASE_DATE} \"Vantorel ${VANTOREL_VERSION_TEXT}\"")
endif()
if(NOT VANTOREL_VERSION_FIXED STREQUAL "1.0.0.0" OR NOT VANTOREL_VERSION_TEXT STREQUAL "1.00")
  message(SEND_ERROR "the version record is 1.0.0.0 / \"1.00\"")
endif()
