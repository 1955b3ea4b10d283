# The Debian package, made in a configured build folder by `cpack -G DEB` (tools/package.sh).
# It holds what `cmake --install` puts under /usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillarbor)
set(CPACK_PACKAGE_VENDOR "The Quillarbor developers")
set(CPACK_PACKAGE_CONTACT "The Quillarbor developers <quillarbor@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# In lines short enough for a Debian control file, which CPack keeps as they are.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Quillarbor changes the background bitmap of the browser toolbar at an\n"
       "interval you choose. After a randomised countdown around the chosen delay\n"
       "it picks one bitmap at random from a folder of *.bmp files. The tooltip of\n"
       "its tray icon counts down the seconds to the next change. It can start\n"
       "hidden in the tray, start when you log in, or apply one bitmap and exit.")
# Installed into a staging DESTDIR with the prefix /usr, so that what the install computes from
# CMAKE_INSTALL_PREFIX (the launcher's start folder) names /usr and not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # quillarbor_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links, with their versions, from dpkg-shlibdeps (dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window system plug-ins Qt loads at run time, which dpkg-shlibdeps cannot see: X11 comes
# with the Qt libraries; Wayland sessions without X11 need the Wayland plug-in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
