# SPDX-License-Identifier: Apache-2.0
# Where `cmake --install build --component postgresql_extension` puts the
# PostgreSQL search extension: the module where the server loads modules
# from, the control file and SQL script where it reads extensions from, both
# as the pg_config the module is built against names them, and the licence
# and changelog in the documentation folder of the package that holds these
# files, postgresql-NN-corvanty-search (cmake/package.cmake). All absolute:
# the server looks nowhere else, whatever the install prefix, so that
# installing the component is installing what the package installs. Left
# out of a plain `cmake --install`, whose prefix it would not keep to.
foreach(dir pkglibdir sharedir version)
  execute_process(COMMAND ${CORVANTY_PG_CONFIG} --${dir} OUTPUT_VARIABLE pg_${dir}
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endforeach()
# "PostgreSQL 15.20 (Debian 15.20-0+deb12u1)": the server's major version,
# which names the package and the server package it depends on.
if(NOT pg_version MATCHES "^PostgreSQL ([0-9]+)")
  message(FATAL_ERROR "${CORVANTY_PG_CONFIG} --version said \"${pg_version}\": no major version")
endif()
set(CORVANTY_PG_MAJOR ${CMAKE_MATCH_1})
set(CORVANTY_PG_PACKAGE postgresql-${CORVANTY_PG_MAJOR}-corvanty-search)

install(TARGETS corvanty_postgres_search LIBRARY DESTINATION ${pg_pkglibdir}
        COMPONENT postgresql_extension EXCLUDE_FROM_ALL)
install(FILES src/search/postgresextension/corvanty_search.control
              src/search/postgresextension/corvanty_search--1.0.sql
        DESTINATION ${pg_sharedir}/extension COMPONENT postgresql_extension EXCLUDE_FROM_ALL)
install(FILES packaging/copyright ${changelog}
        DESTINATION /usr/share/doc/${CORVANTY_PG_PACKAGE}
        COMPONENT postgresql_extension EXCLUDE_FROM_ALL)
add_dependencies(corvanty_installables corvanty_postgres_search)
