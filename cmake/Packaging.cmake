# Installing twig-child on a family's Linux computer: the program (its resources are inside it) and
# its window module, a systemd user unit and an XDG autostart entry that start it with the child's
# session, a menu entry and icon for the window, and the settings file the unit reads.
# `scripts/package` builds a Debian package of it with CPack (configured with the prefix /usr, so
# that the settings and the autostart entry go to /etc).
include(GNUInstallDirs)

install(TARGETS twig-child RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TWIG_BUILD_UI)
  install(TARGETS twig_window LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/twig-child)
endif()
install(FILES resources/linux/twig-child.service DESTINATION lib/systemd/user)
install(FILES resources/linux/twig-child-autostart.desktop DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/autostart
        RENAME twig-child.desktop)
install(FILES resources/linux/twig-child.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/linux/twig-child.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES resources/linux/twig-child.default DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/default
        RENAME twig-child)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME twig-child)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "twig-child maintainers <twig-child@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "child-side agent of a parental-control service")
set(CPACK_PACKAGE_DESCRIPTION
    "Binds the computer to a parent's account, answers the parent's commands over MQTT, covers the\n"
    "screen when an application runs outside its allowed time, and offers the child a reward wallet.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program loads by name rather than by link: QML modules, espeak-ng with its Chinese voice, the face,
# the tools it runs to open links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qml6-module-qtquick, qml6-module-qtquick-window, qml6-module-qtqml-workerscript, libespeak-ng1, espeak-ng-data, fonts-noto-cjk, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gpsd")
# A desktop keyring keeps the device identifier beyond the data folder; without one the folder does.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-keyring")
set(CPACK_DEBIAN_PACKAGE_CONFFILES "${CMAKE_INSTALL_FULL_SYSCONFDIR}/default/twig-child;${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/autostart/twig-child.desktop")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
