# SPDX-License-Identifier: Apache-2.0
# The Debian packages scripts/package.sh builds with CPack, one for each
# install component: corvanty_VERSION_ARCH.deb (the component corvanty), and
# postgresql-NN-corvanty-search_VERSION_ARCH.deb (the component
# postgresql_extension, for the PostgreSQL major version NN it is built
# against), their library dependencies read from the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvanty)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL corvanty postgresql_extension)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Corvanty developers <corvanty@example.org>")
# Each package's description starts with its own summary line: CPack would
# put a common CPACK_PACKAGE_DESCRIPTION_SUMMARY before both.
set(CPACK_DEBIAN_CORVANTY_PACKAGE_NAME corvanty)
set(CPACK_DEBIAN_CORVANTY_DESCRIPTION
    "administration tool for database search guides
Corvanty defines, deletes and tests Database Search Guides: named searches
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
set(CPACK_DEBIAN_CORVANTY_PACKAGE_DEPENDS "libsqliteodbc, odbcinst")
# Bash loads the completion only with bash-completion; Qt draws the window
# icon (an SVG) only with its SVG plugins.
set(CPACK_DEBIAN_CORVANTY_PACKAGE_RECOMMENDS "bash-completion, libqt6svg6")
set(CPACK_DEBIAN_CORVANTY_PACKAGE_SUGGESTS "odbc-postgresql, tdsodbc, unixodbc")

# The extension is loaded by the server of its major version, which
# provides the symbols the module calls.
set(CPACK_DEBIAN_POSTGRESQL_EXTENSION_PACKAGE_NAME ${CORVANTY_PG_PACKAGE})
set(CPACK_DEBIAN_POSTGRESQL_EXTENSION_PACKAGE_DEPENDS postgresql-${CORVANTY_PG_MAJOR})
set(CPACK_DEBIAN_POSTGRESQL_EXTENSION_PACKAGE_SUGGESTS corvanty)
set(CPACK_DEBIAN_POSTGRESQL_EXTENSION_DESCRIPTION
    "Corvanty search service for PostgreSQL ${CORVANTY_PG_MAJOR}
The PostgreSQL extension corvanty_search: the search service of the
Database Search Guides that Corvanty defines, built from the same search
engine as the corvanty tool, searching inside the database and streaming
each guide's rows, so that a LIMIT stops the search early.

CREATE EXTENSION corvanty_search SCHEMA s creates velmorastine_search() in
the schema s that holds the guide tables; the extension is trusted, so
the database's owner can create it without a superuser. The readiness
check of corvanty and corvanty-admin creates it by itself when the server
offers it.")
include(CPack)
