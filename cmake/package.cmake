# SPDX-License-Identifier: Apache-2.0
# The Debian package scripts/package.sh builds with CPack:
# corvanty_VERSION_ARCH.deb, its dependencies read from the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvanty)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Corvanty developers <corvanty@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "administration tool for database search guides")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Corvanty defines, deletes and tests Database Search Guides: named searches
over the tables of a relational database, run by a search engine that lives
in that database. It reaches SQL Server, PostgreSQL and SQLite through ODBC.

The package holds the desktop tool corvanty-admin, the command line corvanty
for scripting and headless use (it also sets up a SQLite demo database), and
the SQLite search extension.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded by path at run time, so not found in the binaries: the SQLite ODBC
# driver (corvanty demo and every SQLite data source use it) and the driver
# manager's configuration tools. Other servers' drivers are suggested.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsqliteodbc, odbcinst")
# Bash loads the completion only with bash-completion; Qt draws the window
# icon (an SVG) only with its SVG plugins.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "odbc-postgresql, tdsodbc, unixodbc")
include(CPack)
