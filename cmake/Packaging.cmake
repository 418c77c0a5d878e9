# The desktop integration and the Debian package. Installed layout:
#   bin/milvane, bin/milvane-cli
#   lib/milvane/Frmprint                      linked from the template's exe/Frmprint
#   share/milvane/template/                   the installation template (Template.cmake)
#   share/applications/<id>.desktop, share/metainfo/<id>.metainfo.xml
#   share/icons/hicolor/{scalable,48x48,128x128,256x256}/apps/<id>.{svg,png}
#   share/man/man1/milvane.1.gz, milvane-cli.1.gz
#   share/doc/milvane/ (copyright, changelog.gz, the file-format notes)
# The build tree holds the generated files under the same share/ paths.
set(MILVANE_APP_ID jp.ostrel.Milvane)
set(PKG ${CMAKE_SOURCE_DIR}/packaging)

# ---------------------------------------------------------------- icon
# The PNG sizes are drawn from the SVG at build time; the window icon is built
# from the same files (a Qt resource of milvane_ui).
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(ICON_PNGS "")
foreach(size 16 24 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/share/icons/hicolor/${size}x${size}/apps/${MILVANE_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/icons/hicolor/${size}x${size}/apps
                     COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${PKG}/${MILVANE_APP_ID}.svg
                     DEPENDS ${PKG}/${MILVANE_APP_ID}.svg
                     VERBATIM)
  list(APPEND ICON_PNGS ${png})
  if(size MATCHES "^(48|128|256)$")
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endif()
endforeach()
qt_add_resources(milvane_ui app_icon PREFIX /icons BASE ${CMAKE_BINARY_DIR}/share/icons/hicolor FILES ${ICON_PNGS})
install(FILES ${PKG}/${MILVANE_APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)

# ---------------------------------------------------------------- form-printing program
# The build tree's template links to the built program, the installed one to
# lib/milvane; PrepareInstallation links each installation folder to the same file.
set(FRMPRINT_LINK ${MILVANE_TEMPLATE_DIR}/exe/Frmprint)
add_custom_command(OUTPUT ${FRMPRINT_LINK}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${MILVANE_TEMPLATE_DIR}/exe
                   COMMAND ${CMAKE_COMMAND} -E rm -f ${FRMPRINT_LINK}
                   COMMAND ${CMAKE_COMMAND} -E create_symlink ../../../../Frmprint ${FRMPRINT_LINK}
                   DEPENDS Frmprint
                   VERBATIM)
add_custom_target(frmprint_template ALL DEPENDS ${FRMPRINT_LINK})
install(TARGETS Frmprint RUNTIME DESTINATION lib/milvane)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
file(CREATE_LINK ../../../../lib/milvane/Frmprint ${CMAKE_BINARY_DIR}/install-links/Frmprint SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install-links/Frmprint DESTINATION share/milvane/template/exe)

# ---------------------------------------------------------------- desktop entry, AppStream, manual pages
install(FILES ${PKG}/${MILVANE_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${PKG}/${MILVANE_APP_ID}.metainfo.xml DESTINATION share/metainfo)

set(GZIPPED "")
foreach(page milvane milvane-cli)
  set(gz ${CMAKE_BINARY_DIR}/share/man/man1/${page}.1.gz)
  list(APPEND GZIPPED ${gz})
  install(FILES ${gz} DESTINATION share/man/man1)
endforeach()
set(CHANGELOG_GZ ${CMAKE_BINARY_DIR}/share/doc/milvane/changelog.gz)
list(APPEND GZIPPED ${CHANGELOG_GZ})
foreach(gz ${GZIPPED})
  get_filename_component(dir ${gz} DIRECTORY)
  get_filename_component(name ${gz} NAME_WLE)
  if(name STREQUAL "changelog")
    set(src ${PKG}/changelog)
  else()
    set(src ${CMAKE_SOURCE_DIR}/docs/man/${name})
  endif()
  # -n keeps name and time out of the archive, so that builds are reproducible.
  add_custom_command(OUTPUT ${gz}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                     COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${src} ${gz}
                     DEPENDS ${src}
                     VERBATIM)
endforeach()
add_custom_target(milvane_docs ALL DEPENDS ${GZIPPED})
install(FILES ${PKG}/copyright ${CHANGELOG_GZ} ${CMAKE_SOURCE_DIR}/docs/import-map.md
              ${CMAKE_SOURCE_DIR}/docs/phone-directory.md
        DESTINATION share/doc/milvane)

# ---------------------------------------------------------------- Debian package (scripts/package.sh)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME milvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Ostrel/Zorund")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Ostrel/Zorund <milvane@ostrel.example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://milvane.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Programs it starts (mail, opening files) and the fonts its forms print with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, fonts-ipafont-gothic, fonts-ipafont-mincho")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "customer register with history and direct mail
Milvane keeps a shop's customers, individuals and companies, the history of
every dealing with them and direct-mail campaigns. Around the register it
offers filtered lists, ready-made analyses, import and export of text files,
workbooks and contact files, form printing, postal-code lookup, backup and
restore. The user interface is in Japanese.
.
The package also holds milvane-cli, which does backups, restores, exports,
imports and checks from the command line.")
include(CPack)
