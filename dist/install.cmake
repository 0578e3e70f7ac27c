# Install rules and the Debian package, included from the top-level
# CMakeLists.txt after every target is defined.
#   cmake --install <build> --prefix <dir>
#   cpack --config <build>/CPackConfig.cmake      (scripts/package)
include(GNUInstallDirs)

# The application's id: the desktop entry, the icon and the AppStream
# metadata are all named after it.
set(NANAHOSHI_APP_ID jp.nanahoshi.Nanahoshi)
set(NANAHOSHI_RELEASE_DATE 2026-12-09 CACHE STRING "Date of the release of PROJECT_VERSION")
# Where docs/screenshots is published, for the software centres' pictures.
set(NANAHOSHI_SCREENSHOT_URL "https://nanahoshi.example/screenshots" CACHE STRING
  "Public address of the folder holding docs/screenshots")

set(dist ${PROJECT_SOURCE_DIR}/dist)
configure_file(${dist}/${NANAHOSHI_APP_ID}.metainfo.xml.in
  ${PROJECT_BINARY_DIR}/dist/${NANAHOSHI_APP_ID}.metainfo.xml @ONLY)

install(TARGETS nanahoshi RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${dist}/${NANAHOSHI_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/dist/${NANAHOSHI_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${dist}/${NANAHOSHI_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 256)
  install(FILES ${PROJECT_BINARY_DIR}/icons/${size}/${NANAHOSHI_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
# The help pages the program shows in its help window, to read in a
# browser as well.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/help/content/
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/help)
install(FILES ${dist}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Installing needs the program, its icons and nothing else: without this
# an install, and CPack, would first build every test and tool.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

# The Debian package. Its dependencies are read from the libraries the
# program links (dpkg-shlibdeps), plus what it uses without linking:
# Qt's Japanese texts for the standard buttons and a font with Japanese
# glyphs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nanahoshi)
set(CPACK_PACKAGE_VENDOR "ナナホシ")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "weight diary for two people who diet together")
set(CPACK_PACKAGE_DESCRIPTION
  "ナナホシ: two people record every weighing with its situation and a one-line\
 diary; the program shows the day's weighings, a comparison of the two, analysis\
 tables, graphs, a calendar, a BMI meter and a search. Japanese user interface.")
set(CPACK_PACKAGE_CONTACT "ナナホシ maintainers <maintainers@nanahoshi.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY nanahoshi)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
