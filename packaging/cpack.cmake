# The Debian package: cpack -G DEB in the build folder writes
# lomi_<version>_<architecture>.deb. Dependencies come from the programs'
# shared libraries (dpkg-shlibdeps), plus the Qt platform plugins the window
# cannot start without (libqt6gui6 only recommends them).
set(LOMI_MAINTAINER "The Lomi developers <lomi@lomi.example.org>" CACHE STRING
    "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lomi)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Lomi developers")
set(CPACK_PACKAGE_CONTACT ${LOMI_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tally of what a horse-racing betting pattern would have paid")
set(CPACK_PACKAGE_DESCRIPTION
    "Lomi reads the betting-ticket files an analysis program writes, one per racing
day and betting pattern, narrows the races by venue, race, runners, age, class,
surface, distance and date, and shows stake, payout, profit, recovery rate, hit
rate and average dividend for win, place, quinella and wide tickets. The window
and its texts are in Japanese; lomi-report prints the same report for scripts.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${LOMI_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(LOMI_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-japanese-gothic")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
