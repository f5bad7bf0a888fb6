# Install rules and packages. `cmake --install` lays the game out the way
# Debian's games are laid out (the program in games/, the sample price lists
# in share/games/brawlarium); `cpack -G DEB` packs the same files with the
# documentation in Debian's form: compressed manual page and changelog, and
# the licence as the copyright file. A Windows build packs a ZIP instead.

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows_package.cmake)
  return()
endif()

configure_file(doc/brawlarium.6.in ${CMAKE_BINARY_DIR}/brawlarium.6 @ONLY)

install(TARGETS brawlarium RUNTIME DESTINATION ${BRAWLARIUM_INSTALL_BINDIR} COMPONENT game)
install(FILES data/weaponlist.txt data/armorlist.txt DESTINATION ${BRAWLARIUM_INSTALL_DATADIR} COMPONENT game)

# Installs from source: plain manual page, README and licence.
install(FILES ${CMAKE_BINARY_DIR}/brawlarium.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT doc)
install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT doc)

# The Debian package's documentation, installed only when packing (or by
# `cmake --install --component debian`). gzip -9n: smallest, no time stamp.
find_program(BRAWLARIUM_GZIP gzip)
if(BRAWLARIUM_GZIP)
  set(debian_docs ${CMAKE_BINARY_DIR}/debian)
  add_custom_command(
    OUTPUT ${debian_docs}/brawlarium.6.gz ${debian_docs}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${debian_docs}
    COMMAND ${BRAWLARIUM_GZIP} -9nc ${CMAKE_BINARY_DIR}/brawlarium.6 > ${debian_docs}/brawlarium.6.gz
    COMMAND ${BRAWLARIUM_GZIP} -9nc ${CMAKE_SOURCE_DIR}/doc/changelog > ${debian_docs}/changelog.gz
    DEPENDS ${CMAKE_BINARY_DIR}/brawlarium.6 ${CMAKE_SOURCE_DIR}/doc/changelog
    VERBATIM)
  add_custom_target(brawlarium_debian_docs ALL DEPENDS ${debian_docs}/brawlarium.6.gz ${debian_docs}/changelog.gz)
  install(FILES ${debian_docs}/brawlarium.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6
    COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES ${debian_docs}/changelog.gz README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
    COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright
    COMPONENT debian EXCLUDE_FROM_ALL)
endif()

set(CPACK_PACKAGE_NAME brawlarium)
set(CPACK_PACKAGE_VENDOR "The Brawlarium authors")
set(CPACK_PACKAGE_CONTACT "The Brawlarium authors <brawlarium@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text-mode arena role-playing game")
set(CPACK_PACKAGE_DESCRIPTION "\
Make a character with a one-word name and three rolled ability scores, buy
a weapon and an armor from two price lists, and send your hero into fights
against generated monsters of the level you choose. Each fight plays itself
out round by round in colour; victories pay experience and gold and raise
your level, a defeat costs you the character.
.
The price lists are plain text files that players can edit; the game looks
for them in the working directory, the XDG data folders and
/usr/share/games/brawlarium.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# Read by packaging_config.cmake, which cpack runs once per generator.
set(CPACK_BRAWLARIUM_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/packaging_config.cmake)

include(CPack)
