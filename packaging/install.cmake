# Where an installed Lomi puts its files (GNU directories under the prefix):
# the two programs, the menu entry with its icon and AppStream data, the
# manual page of lomi-report, the documents and the sample data folder.
include(GNUInstallDirs)

set(LOMI_APP_ID org.lomi.Lomi)
set(LOMI_HOMEPAGE "https://lomi.example.org" CACHE STRING
    "Home page named by the AppStream data and the Debian package")
set(LOMI_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/lomi)
set(LOMI_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)

# Folders made by the install get the usual rwxr-xr-x whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS lomi-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(LOMI_BUILD_GUI)
  install(TARGETS lomi RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(WIN32)
    # Qt's Japanese texts for the standard dialogs, where the program looks first.
    install(FILES ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}/qtbase_ja.qm
            DESTINATION ${CMAKE_INSTALL_BINDIR}/translations OPTIONAL)
  endif()
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/${LOMI_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${LOMI_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${LOMI_APP_ID}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${LOMI_APP_ID}.png)
  endforeach()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${LOMI_APP_ID}.metainfo.xml.in
                 ${LOMI_PACKAGING_OUT}/${LOMI_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${LOMI_PACKAGING_OUT}/${LOMI_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Compressed the way Debian wants them (gzip -9n: no name, no time stamp, so
# the same input gives the same bytes).
find_program(LOMI_GZIP gzip)
find_program(LOMI_HELP2MAN help2man)

# The manual page of lomi-report is written from its --help and --version,
# so it always says what the program does; the window's page by hand. Not in
# the sanitizer and fuzzing builds, which install nothing.
if(LOMI_HELP2MAN AND LOMI_GZIP AND NOT CMAKE_CROSSCOMPILING AND NOT LOMI_SANITIZE AND NOT LOMI_FUZZ)
  set(man ${LOMI_PACKAGING_OUT}/lomi-report.1)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/lomi-report.h2m.in ${LOMI_PACKAGING_OUT}/lomi-report.h2m
                 @ONLY)
  add_custom_command(
    OUTPUT ${man}.gz
    COMMAND ${LOMI_HELP2MAN} --locale=C.UTF-8 --no-info --section=1
            "--name=tally what a horse-racing betting pattern would have paid"
            --include=${LOMI_PACKAGING_OUT}/lomi-report.h2m --output=${man}
            $<TARGET_FILE:lomi-report>
    COMMAND ${LOMI_GZIP} -9nf ${man}
    DEPENDS lomi-report ${LOMI_PACKAGING_OUT}/lomi-report.h2m
    COMMENT "Writing the manual page lomi-report.1"
    VERBATIM)
  set(pages ${man}.gz)
  if(LOMI_BUILD_GUI)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/lomi.1.in ${LOMI_PACKAGING_OUT}/lomi.1 @ONLY)
    add_custom_command(
      OUTPUT ${LOMI_PACKAGING_OUT}/lomi.1.gz
      COMMAND ${LOMI_GZIP} -9nkf ${LOMI_PACKAGING_OUT}/lomi.1
      DEPENDS ${LOMI_PACKAGING_OUT}/lomi.1
      VERBATIM)
    list(APPEND pages ${LOMI_PACKAGING_OUT}/lomi.1.gz)
  endif()
  add_custom_target(lomi-manpage ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man or gzip missing: the manual pages are not built")
endif()

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${LOMI_DOC_DIR})
# Debian looks for the licence and the change log under these names.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${LOMI_DOC_DIR})
if(LOMI_GZIP)
  add_custom_command(
    OUTPUT ${LOMI_PACKAGING_OUT}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/changelog ${LOMI_PACKAGING_OUT}
    COMMAND ${LOMI_GZIP} -9nf ${LOMI_PACKAGING_OUT}/changelog
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog
    VERBATIM)
  add_custom_target(lomi-changelog ALL DEPENDS ${LOMI_PACKAGING_OUT}/changelog.gz)
  install(FILES ${LOMI_PACKAGING_OUT}/changelog.gz DESTINATION ${LOMI_DOC_DIR})
endif()

# The guide for reading outside the program (the program carries its own
# copy, so 使い方 works where documents are left out).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/guide/ DESTINATION ${LOMI_DOC_DIR}/guide)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/lomi/samples)

# Notes for lintian on the Debian package.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME lomi)
