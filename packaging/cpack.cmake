# The Debian package, made by CPack (scripts/package.sh): both programs, the
# --gui plugin, the desktop files and the manuals, with the dependencies that
# dpkg-shlibdeps reads from the binaries.
set(TAMRISK_MAINTAINER "The Tamrisk developers <tamrisk@example.org>"
    CACHE STRING "Maintainer of the Debian package, as \"Name <address>\"")
set(deb_name tamrisk)
set(deb_revision 1)

if(TAMRISK_PACKAGE_DEB)
  # What Debian wants beside the programs: the copyright and a changelog of
  # the package, gzipped without a time stamp.
  set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${deb_name})
  string(TIMESTAMP deb_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.Debian.in changelog.Debian @ONLY)
  add_custom_command(OUTPUT changelog.Debian.gz
                     COMMAND gzip -9nkf changelog.Debian
                     DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian
                     VERBATIM)
  add_custom_target(deb_changelog ALL DEPENDS changelog.Debian.gz)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright
                ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
          DESTINATION ${doc_dir})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${deb_name})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tamrisk developers")
set(CPACK_PACKAGE_CONTACT ${TAMRISK_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "animation editor and MNG compiler")
# Lines of the long description stay under 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Tamrisk composes the frames of a short looping animation from a background,"
  "up to nine pattern pictures and a foreground, and exports them as PNG or BMP"
  "frames and as an MNG, APNG or GIF animation, in its window or from the"
  "command line."
  ""
  "vessik compiles a text script, one MNG chunk per line, into an MNG file;"
  "the editor runs it to make its MNG.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TAMRISK_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${deb_revision})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's texts are Japanese under Japanese, C and POSIX locales.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic")
include(CPack)
