# Installation as a desktop program (freedesktop.org layout under the prefix) and the
# Debian package built from the same rules with CPack (`make package`).

include(GNUInstallDirs)

set(QUORVEX_ICON_SIZES 16 24 32 48 64 128 256)
set(_res ${PROJECT_SOURCE_DIR}/resources)
set(_gen ${PROJECT_BINARY_DIR}/install)
# The package's directories are 0755 whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Texts that carry the version. The manuals' date is the release date in the metadata.
file(READ ${_res}/desktop/${QUORVEX_APP_ID}.metainfo.xml.in _metainfo)
if(NOT _metainfo MATCHES "<release version=\"@PROJECT_VERSION@\" date=\"([0-9-]+)\"")
  message(FATAL_ERROR "The metadata has no release entry for this version")
endif()
set(QUORVEX_MAN_DATE ${CMAKE_MATCH_1})
configure_file(${_res}/desktop/${QUORVEX_APP_ID}.metainfo.xml.in
               ${_gen}/${QUORVEX_APP_ID}.metainfo.xml @ONLY)
configure_file(${_res}/man/quorvex.1.in ${_gen}/quorvex.1 @ONLY)
configure_file(${_res}/man/quorvex-batch.1.in ${_gen}/quorvex-batch.1 @ONLY)
configure_file(${_res}/debian/changelog.in ${_gen}/changelog @ONLY)

# The icon is drawn once, as SVG; the theme's fixed sizes are rendered from it.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(_icon_svg ${_res}/icons/${QUORVEX_APP_ID}.svg)
set(_icon_pngs)
foreach(size IN LISTS QUORVEX_ICON_SIZES)
  set(png ${_gen}/icons/${size}x${size}/${QUORVEX_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_gen}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${_icon_svg}
    DEPENDS ${_icon_svg} VERBATIM)
  list(APPEND _icon_pngs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(quorvex_icons ALL DEPENDS ${_icon_pngs})

install(TARGETS quorvex quorvex-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_res}/desktop/${QUORVEX_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_gen}/${QUORVEX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${_gen}/quorvex.1 ${_gen}/quorvex-batch.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_res}/completion/quorvex-batch.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME quorvex-batch)
install(FILES ${_res}/debian/copyright ${_gen}/changelog DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvex)

# The Debian package. Paths inside are /usr, whatever CMAKE_INSTALL_PREFIX says.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvex)
set(CPACK_PACKAGE_VENDOR "The Quorvex developers")
set(CPACK_PACKAGE_CONTACT "Quorvex Maintainers <maintainers@quorvex.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "balance-sheet and profit-and-loss ratio diagrams")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${_res}/debian/description.txt)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quorvex.invalid/")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found at run time, not by the linker: the Japanese font, the TIFF writer, xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-gothic | fonts-noto-cjk, qt6-image-formats-plugins, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Debian keeps manual pages and the changelog compressed.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebianCompress.cmake)
include(CPack)
