# The Debian package (`make deb`): CPack's DEB generator packs exactly what `cmake --install`
# puts on a desktop, under /usr, with the files Debian asks of every package (copyright and
# changelog) and a manual page, and its dependencies worked out by dpkg-shlibdeps from the
# libraries it links.
# Included from the top-level CMakeLists.txt after the install rules.

set(LUMORA_DEB_MAINTAINER_EMAIL "viewer@lumora.org" CACHE STRING
  "Mail address of the package's maintainer, as the Debian package and its changelog give it")
set(deb_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/lumora-viewer)

configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/debian/copyright @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
# Debian keeps changelogs gzipped at the highest level, without a time stamp (-n), so the same
# sources give the same package.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/debian/changelog > ${CMAKE_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog VERBATIM)
configure_file(${CMAKE_CURRENT_LIST_DIR}/lumora-viewer.1 ${CMAKE_BINARY_DIR}/debian/lumora-viewer.1 @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/lumora-viewer.1.gz
  COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/debian/lumora-viewer.1 > ${CMAKE_BINARY_DIR}/debian/lumora-viewer.1.gz
  DEPENDS ${CMAKE_BINARY_DIR}/debian/lumora-viewer.1 VERBATIM)
add_custom_target(deb_docs ALL
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz ${CMAKE_BINARY_DIR}/debian/lumora-viewer.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
  DESTINATION ${deb_doc_dir})
install(FILES ${CMAKE_BINARY_DIR}/debian/lumora-viewer.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumora-viewer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Lumora Sonified File Viewer developers <${LUMORA_DEB_MAINTAINER_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "accessible viewer for Lumora radio-astronomy data files")
set(CPACK_PACKAGE_DESCRIPTION
"Hear and explore the .lmd data files of the Lumora radio-astronomy
logger. The viewer draws a file as a strip chart, speaks everything the
chart shows, and plays the visible part of the chart as a tone whose pitch
or loudness follows one channel. It is made for blind and low-vision
observers and students and works alongside a screen reader.

A typed command line answered by speech, menus, buttons and keys drive it;
a console mode serves terminal and braille users and scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Speech goes to speech-dispatcher, a separate service; without it the viewer speaks with the
# eSpeak NG library it links (a dependency found from the libraries, like Qt's).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "speech-dispatcher")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
