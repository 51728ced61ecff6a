# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# `cpack -G DEB` in the build directory makes pleatora_<version>_<architecture>.deb of what
# `cmake --install` installs, with its dependencies read from the binary by dpkg-shlibdeps.
set(PLEATORA_MAINTAINER "The Pleatora developers <developers@pleatora.example>" CACHE STRING
    "The package's maintainer, as Debian writes it: a name and an address")

# Debian keeps a package's copyright and changelog in /usr/share/doc/<package>/.
set(debian_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/pleatora)
execute_process(COMMAND date --utc --rfc-email --date "${PLEATORA_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE debian_release_date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
set(debian_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${debian_changelog}
    COMMAND gzip -9 --no-name --stdout ${CMAKE_BINARY_DIR}/packaging/changelog > ${debian_changelog}
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog)
add_custom_target(debian_changelog ALL DEPENDS ${debian_changelog})
add_dependencies(pleatora debian_changelog)
install(FILES packaging/copyright ${debian_changelog} DESTINATION ${debian_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pleatora)
set(CPACK_PACKAGE_VENDOR "The Pleatora developers")
set(CPACK_PACKAGE_CONTACT "${PLEATORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "show a picture as a folded sheet of paper")
set(CPACK_PACKAGE_DESCRIPTION
    "Pleatora shows a picture as a sheet of paper folded into two tents, drawn in\n"
    "perspective by OpenGL and floating on the desktop in a transparent window.\n"
    "Drag the creases to reshape the fold, tilt the sheet, and copy or export the\n"
    "folded picture as PNG, TIFF, JPEG, WebP or PDF. From the command line it\n"
    "exports folded pictures without a display.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY pleatora)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PLEATORA_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the image formats beyond Qt's own
# (TIFF, WebP) and Mesa's drivers, software OpenGL included, for drawing without a display.
# libdeflate0 and libtinygltf2d are linked, so dpkg-shlibdeps finds them too; named here as the
# PNG writer's compressor and the 3D model writer.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-image-formats-plugins, libgl1-mesa-dri, libdeflate0, libtinygltf2d")
include(CPack)
