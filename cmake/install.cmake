# SPDX-License-Identifier: Apache-2.0
# What `cmake --install build --prefix P` puts under P: both programs, the
# SQLite search extension, the manual pages, the desktop entry, its icon and
# AppStream metadata, bash completion, and the README with its pictures and
# the licence. The PostgreSQL search extension is a component of its own,
# installed where its server looks (cmake/postgresextension.cmake).
include(GNUInstallDirs)

# The install target builds nothing: scripts/package.sh builds the installed
# targets (corvanty_installables) alone, not the tests and benchmarks.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
# Everything but the PostgreSQL extension (cmake/postgresextension.cmake) is
# the package corvanty's.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME corvanty)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Manual pages from the programs' own --help and --version, made with no
# display reachable: corvanty-admin must answer them before it opens a window.
# Each program's include file adds what its help does not say (environment,
# files, exit status, examples, see also); the commands of corvanty --help
# become a COMMANDS section.
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)
find_program(AWK awk REQUIRED)
set(CORVANTY_MAN_corvanty "command line for Database Search Guides")
set(CORVANTY_MAN_corvanty-admin "administration tool for Database Search Guides")
set(manpages)
foreach(program corvanty corvanty-admin)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  set(include ${CMAKE_SOURCE_DIR}/packaging/man/${program}.h2m)
  set(commands ${CMAKE_SOURCE_DIR}/packaging/man/commands.awk)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY ${HELP2MAN}
            --no-info --name=${CORVANTY_MAN_${program}} --include=${include}
            --output=${page}.help2man $<TARGET_FILE:${program}>
    COMMAND ${AWK} -f ${commands} ${page}.help2man > ${page}
    COMMAND ${GZIP} -9nf ${page}
    DEPENDS ${program} ${include} ${commands}
    COMMENT "Making the manual page ${program}.1 from ${program} --help"
    VERBATIM)
  list(APPEND manpages ${page}.gz)
endforeach()
add_custom_target(corvanty_manpages ALL DEPENDS ${manpages})

# The AppStream metadata's release is this version.
file(READ packaging/org.example.corvanty.admin.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<release version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "packaging/org.example.corvanty.admin.metainfo.xml: the release is not "
                      "version ${PROJECT_VERSION}")
endif()

# The packaged changelog is gzipped (Debian keeps documentation so); its
# first entry must name this version.
file(STRINGS packaging/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^corvanty \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the first entry is not version ${PROJECT_VERSION}")
endif()
set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${changelog}
  COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${changelog}
  DEPENDS packaging/changelog
  VERBATIM)
add_custom_target(corvanty_changelog ALL DEPENDS ${changelog})

add_custom_target(corvanty_installables
  DEPENDS corvanty corvanty-admin corvanty_manpages corvanty_changelog)

install(TARGETS corvanty corvanty-admin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(NOT CORVANTY_SANITIZE)  # the sanitized build borrows the plain build's
  install(TARGETS corvanty_search LIBRARY DESTINATION ${CORVANTY_EXTENSION_INSTALL_DIR})
  add_dependencies(corvanty_installables corvanty_search)
endif()
install(FILES ${manpages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/corvanty-admin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/corvanty.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/corvanty.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME corvanty)
install(FILES packaging/org.example.corvanty.admin.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES README.md LICENSE packaging/copyright ${changelog}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvanty)
# The README's pictures, where its links find them.
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvanty/docs
        FILES_MATCHING PATTERN "*.png")

# A sanitized build has no PostgreSQL extension of its own (CMakeLists.txt).
if(TARGET corvanty_postgres_search)
  include(cmake/postgresextension.cmake)
endif()
