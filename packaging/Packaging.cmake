# Installation of the desktop entry and icon, and the Debian package (cpack -G DEB).
# The programs install themselves beside their targets: the station and its tools in
# CMAKE_INSTALL_BINDIR, the signing tool stand-in (for trying the station without the
# real tool, not to be found on PATH) in CMAKE_INSTALL_LIBEXECDIR/orvane.

if(TARGET orvane)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/orvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/orvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_VENDOR "Marvistelo")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Factory download station for payment terminals")
set(CPACK_PACKAGE_CONTACT "Orvane station maintainers <station@localhost>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# Below the summary line (CPACK_PACKAGE_DESCRIPTION_SUMMARY):
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Loads payment terminals on several serial ports side by side: Intel HEX terminals"
  "and bootstrap-family terminals with signed configuration data and fresh identities."
  "Includes the station window (orvane), the headless station (orvane-load), the MAC"
  "range table tool, the static RAM report memtabler, and simulated terminals, a reader"
  "network server and a signing tool stand-in for trying a station without hardware.")
# The libraries the programs link (Qt 6 widgets, unixODBC, the C++ runtime) come from
# dpkg-shlibdeps; Qt's platform plugins are loaded at run time and named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET orvane)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsqliteodbc, odbc-postgresql, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "tdsodbc, postgresql, setserial")
include(CPack)
