# Installation rules and the Debian package (cpack -G DEB): the programs in lib/velk with
# velk-cli linked into bin; the font, help, libraries and demo packet in share/velk; the
# launcher, icon and QWK packet type for the desktop. bin/velk lays out the user's ~/VELK
# at each start, as run.sh does, then starts the program there.
install(TARGETS velk velk-cli velk-ansi RUNTIME DESTINATION lib/velk)
install(PROGRAMS scripts/layout-program.sh DESTINATION lib/velk)
install(PROGRAMS scripts/velk-start.sh DESTINATION bin RENAME velk)
file(CREATE_LINK ../lib/velk/velk-cli ${CMAKE_BINARY_DIR}/velk-cli.link SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/velk-cli.link DESTINATION bin RENAME velk-cli)
# The font is TrueType: Debian wants it named so; layout-program.sh gives it the program's
# name again in the user's ~/VELK.
install(FILES ${VELK_FONT_FILE} DESTINATION share/velk RENAME velkfont.ttf)
install(FILES ${VELK_DEMO_PACKET} data/VELKFONT.LICENSE data/VELK.HLP
              data/ENTETES.INI data/PIEDPAGE.INI data/TAGLINES.INI data/AMIS.INI
        DESTINATION share/velk)
install(FILES data/desktop/velk.desktop DESTINATION share/applications)
install(FILES data/desktop/velk.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES data/desktop/velk-mime.xml DESTINATION share/mime/packages RENAME velk.xml)
install(FILES data/package/copyright DESTINATION share/doc/velk)
# Debian wants the changelog compressed, reproducibly (no name or time in the header).
configure_file(data/package/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
    COMMAND sh -c "gzip -9n < '${CMAKE_BINARY_DIR}/changelog' > '${CMAKE_BINARY_DIR}/changelog.gz'"
    DEPENDS ${CMAKE_BINARY_DIR}/changelog
    VERBATIM)
add_custom_target(velk_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION share/doc/velk)
# The manual pages, in French as the program is, where man looks first.
foreach(page velk velk-cli)
    add_custom_command(
        OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
        COMMAND sh -c "gzip -9n < '${CMAKE_SOURCE_DIR}/data/man/${page}.1' > '${CMAKE_BINARY_DIR}/man/${page}.1.gz'"
        DEPENDS ${CMAKE_SOURCE_DIR}/data/man/${page}.1
        VERBATIM)
    list(APPEND velk_man_pages ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)
add_custom_target(velk_man ALL DEPENDS ${velk_man_pages})
install(FILES ${velk_man_pages} DESTINATION share/man/man1)

set(CPACK_PACKAGE_NAME velk)
set(CPACK_PACKAGE_VENDOR VELK)
set(CPACK_PACKAGE_CONTACT "VELK <velk@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lecteur hors connexion de courrier QWK")
set(CPACK_PACKAGE_DESCRIPTION
    "VELK lit hors connexion le courrier des BBS au format QWK : il ouvre\n\
un paquet, montre ses conférences, bulletins et nouvelles, et construit\n\
le paquet de réponses à envoyer. Interface en français. velk-cli donne\n\
la même logique aux scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries come from the programs' own links; the archivers and Qt's platform
# plugins are run or loaded, never linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "zip, unzip, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
