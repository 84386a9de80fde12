# `cpack` in build/linux: the .deb of everything cmake/LinuxInstall.cmake installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME drivanta-tools)
set(CPACK_PACKAGE_VENDOR "Drivanta v2 tools developers")
set(CPACK_PACKAGE_CONTACT "Drivanta v2 tools developers <tools@drivanta.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diagnostics and firmware updaters for the Drivanta v2 steering system")
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "servodiag shows the identity, status and settings of the steering system's
devices. ampflash updates the firmware of the servo amplifier and wheelflash
that of the wheel controller. A udev rule gives the user at the machine
access to these devices and to no other.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries the programs link against come from dpkg-shlibdeps. Qt loads its platform plugin
# (qt6-qpa-plugins, which Qt only recommends) and its fonts at run time, where dpkg-shlibdeps
# cannot see them; the windows are drawn for Arial's metrics, which Liberation Sans has.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/linux/postinst ${PROJECT_SOURCE_DIR}/packaging/linux/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
