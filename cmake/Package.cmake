# `cpack -G DEB` in the build folder: a Debian package of the installed layout
# under /usr, its library dependencies read from the program by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME pixelmoth)
set(CPACK_PACKAGE_VENDOR "The Pixelmoth developers")
set(CPACK_PACKAGE_CONTACT "The Pixelmoth developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop image editor for glitch art")
set(CPACK_PACKAGE_DESCRIPTION [[
Pixelmoth opens one picture and applies glitch effects to it: twelve of them,
each tuned with one strength slider while the canvas shows a live preview.
Applied effects pile up on the picture, and the result is saved as a JPEG at
quality 100 and at the size the picture had when it was loaded.]])
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the toolkit's readers
# of TIFF and WebP.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-image-formats-plugins)
include(CPack)
