# A Debian package of the installed tree: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME horavia)
set(CPACK_PACKAGE_VENDOR "Horavia developers")
set(CPACK_PACKAGE_CONTACT "Horavia developers <support@horavia.example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "countdown timer, stopwatch and clock")
# Wrapped by hand: CPack copies the lines into the control file as they are.
set(CPACK_PACKAGE_DESCRIPTION "Horavia is a countdown timer, a stopwatch and a clock in one small window
drawn as a liquid-crystal display. A finished countdown plays a sound file,
shows a message, or both; a running countdown can speak the remaining time,
the stopwatch its elapsed time, and the clock can announce every full hour.
The computer stays awake while a countdown runs and wakes from sleep for a
pending one.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${HORAVIA_HOMEPAGE})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME horavia)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
# Library dependencies come from dpkg-shlibdeps over the program and the modules.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library dependency can say: a font with the Chinese glyphs of the Chinese texts, and the
# desktop's opener through which the help pages reach the browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, xdg-utils")

include(CPack)
