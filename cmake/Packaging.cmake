# The Debian package, built by `cpack -G DEB` in a configured build folder
# (`make deb` does it from a Release build): vesk_<version>_<arch>.deb with
# everything `make install` puts under /usr. Its Depends are the libraries the
# programs link, as dpkg-shlibdeps (Debian package dpkg-dev, which reads the
# binaries through `file`) finds them; Xvfb is only recommended, since only
# vesk-view --output without a display needs it.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vesk)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small real-time viewer of Wavefront OBJ models")
# The lines below the summary, as Debian shows them (no semicolons: CPack
# would read them as list separators).
set(CPACK_PACKAGE_DESCRIPTION [[
vesk draws Wavefront OBJ meshes, with their MTL materials and texture
pictures, in one OpenGL window under one light. vesk-view shows any OBJ
files, or writes their picture to a PNG file, which also makes file
managers show them as thumbnails. vesk-viewer shows a scene folder of
meshes arranged in frames. vesk-inspect prints what the engine reads
from a mesh, picture or scene file.]])
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "vesk maintainers <maintainers@users.noreply.c-seed-5fb577ae.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xvfb)

include(CPack)
