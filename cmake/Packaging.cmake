# The Debian package: `cpack -G DEB` in a build folder configured with CMAKE_INSTALL_PREFIX=/usr
# (scripts/package.sh does both). Library dependencies come from dpkg-shlibdeps; the QML modules
# and Qt plugins the window loads at run time are not linked, so they are named here.
set(QUORLIX_MAINTAINER "The Quorlix developers <quorlix@users.noreply.github.com>")

# Debian's own documentation files, installed with the programs. The version has no Debian
# revision, so the package is native and its changelog is changelog.gz.
set(QUORLIX_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/quorlix)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${QUORLIX_DOCDIR}
    COMPONENT runtime)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUORLIX_MAINTAINER}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in
    ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/packaging/changelog
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(quorlix_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${QUORLIX_DOCDIR}
    COMPONENT runtime)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorlix)
set(CPACK_PACKAGE_VENDOR "The Quorlix developers")
set(CPACK_PACKAGE_CONTACT "${QUORLIX_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack indents the lines after the first and turns an empty line into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "finds duplicate photos and keeps the best of each burst
Quorlix scans one folder of photos for byte-identical copies and look-alike
bursts, elects in each group the photo to keep by a quality score
(sharpness, exposure, open eyes, resolution) and moves the others to the
Trash or to another folder, with an undo.

The package holds the window, quorlix, and the headless scanner,
quorlix-scan, which prints the same groups as text or JSON.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The engine's private libraries resolve inside the package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/engine)
set(QUORLIX_RUNTIME_DEPENDS
    # the face landmark model
    libdlib-data
    # the X11 and offscreen platform plugins
    qt6-qpa-plugins
    # the QML modules the window imports
    qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript
    qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-templates
    qml6-module-qtquick-layouts qml6-module-qtquick-window qml6-module-qtquick-dialogs
    qml6-module-qtquick-shapes qml6-module-qt-labs-folderlistmodel)
list(JOIN QUORLIX_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# "Send by e-mail" in the share picker; the Wayland platform plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
set(CPACK_COMPONENTS_ALL runtime)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
include(CPack)
