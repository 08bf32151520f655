# The Debian package: scripts/package.sh runs cpack over an already built tree.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korva)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Team Yorimichi")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "memorisation aid for decks of two-sided flash cards")
# CPack puts the summary first and indents every line below it by one space;
# the lines stay short so that apt shows them as written.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "KORVA!! (暗記支援ソフトウェア) opens decks of two-sided flash cards and"
  "asks them one card at a time, with a Japanese user interface: reveal the"
  "answer or type it and have it judged, then check the card as learnt or"
  "not. Cards can be shuffled, filtered by their check marks and asked"
  "either way round. Decks are KORVA deck files (.krv) or comma-separated"
  "word lists (.csv)."
  ""
  "Includes korva-deck, a command line tool to convert, export, update and"
  "inspect deck files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Team Yorimichi <korva@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.org/korva/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Japanese captions need a CJK font, and Qt's own buttons and dialogs its
# Japanese translation.
# SHLIBDEPS finds libsqlite3-0 from the binaries too; it is named here as
# well, since the .korva deck file is an SQLite database.
# The IPA fonts draw the Japanese interface; decks in Korean, Chinese or
# Vietnamese draw with a CJK font (Noto's full one, or WenQuanYi's small one)
# and DejaVu's Latin letters.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho, fonts-noto-cjk | fonts-wqy-microhei, fonts-dejavu-core, qt6-translations-l10n, libsqlite3-0")
# Help and links open through xdg-open; Japanese answers are typed through an
# input method (the IBus module ships with Qt itself).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fcitx5-frontend-qt6 | ibus")
# The same commit gives the same package, byte for byte.
set(CPACK_KORVA_SOURCE_DIR "${PROJECT_SOURCE_DIR}")
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/PackageTime.cmake")
include(CPack)
