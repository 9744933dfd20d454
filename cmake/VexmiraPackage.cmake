# The Debian package: `cmake --build BUILD --target package` writes
# vexmira_<version>_<arch>.deb from the same install rules as `cmake --install`,
# below /usr.
#
# No maintainer scripts: the folders the package fills are watched by Debian's
# own file triggers (shared-mime-info for mime/packages, desktop-file-utils for
# applications, the icon caches for icons/hicolor, man-db for the manual pages),
# which update their databases after every installation and removal.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexmira)
set(CPACK_PACKAGE_VENDOR "The Vexmira developers")
set(CPACK_PACKAGE_CONTACT "Vexmira developers <developers@vexmira.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive 3D picture of the blow-up of the plane at a point")
set(CPACK_PACKAGE_DESCRIPTION
    "Vexmira shows the blow-up of the plane at a point as a picture you turn
with the mouse: coloured meridians on the unit sphere whose upper ends are
pulled apart onto a white circle, the exceptional circle.

Six sliders set how far the meridians are pulled apart, the angle of the
circle's plane, how many meridians are drawn and how finely, the smoothing
passes and the zoom. Every change can be undone, and each picture is saved
as a small text document (.vexmira).

The command vexmira-render draws the same pictures into PNG images without
a display.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries the programs load, as dpkg-shlibdeps finds them in the
# binaries, with the versions their symbols need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
