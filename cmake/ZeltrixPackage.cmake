# The Debian package, built by `make package` (cpack -G DEB) from the install
# rules: the same files as `cmake --install`, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zeltrix)
set(CPACK_PACKAGE_VENDOR "The Zeltrix developers")
set(CPACK_PACKAGE_CONTACT "The Zeltrix developers <packages@zeltrix.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://zeltrix.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text to HD44780 Cyrillic LCD character codes")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CPACK_PACKAGE_HOMEPAGE_URL}")
# The synopsis line comes from the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Zeltrix turns a text into the character codes of HD44780-compatible LCD
modules with the Cyrillic character ROM. Type or open a text (Windows-1251,
Russian letters welcome) and get it back as data lines for a microcontroller
program (PIC assembler Dt/De, mikroBasic constant arrays, or any format
defined in a named profile) or as raw bytes in a binary file.
.
The package holds the desktop program and zeltrix-cli, the same conversion
on the command line.")
# The libraries come from dpkg-shlibdeps; Qt's plugins and translations are
# loaded at run time, so they are named here: the SVG icons are needed, the
# Russian texts of the standard buttons (without them the buttons read in
# English) and the editors' fonts are recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core")

include(CPack)
