# The Windows package: `cpack -G ZIP` in the MinGW build (cmake --preset
# mingw) makes brawlarium-VERSION-win64.zip with everything in its root:
# brawlarium.exe, the two sample price lists beside it, where the game finds
# them wherever the ZIP is unpacked, README.txt (how to play and the price
# lists, with Windows line ends) and LICENSE.txt.

install(TARGETS brawlarium RUNTIME DESTINATION . COMPONENT game)
install(FILES data/weaponlist.txt data/armorlist.txt DESTINATION . COMPONENT game)

# README.txt: the README's sections a player needs, made again whenever the
# README changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/README.md)
file(READ ${CMAKE_SOURCE_DIR}/README.md readme)
set(readme_txt "Brawlarium ${PROJECT_VERSION} for Windows\n\n\
Unpack the ZIP anywhere and start brawlarium.exe, by double-click or from a\n\
command prompt. It reads weaponlist.txt and armorlist.txt from the folder it\n\
is started in, or else from its own folder, where the ZIP puts a sample pair.\n\
Ctrl+C, Ctrl+Break or closing the window ends the game at once, and the\n\
console gets back the colours and the title it had before the game.\n")
foreach(section "How to play" "The price lists")
  string(FIND "${readme}" "\n## ${section}\n" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "README.md has no section \"${section}\" for README.txt")
  endif()
  math(EXPR start "${start} + 1")
  string(SUBSTRING "${readme}" ${start} -1 rest)
  string(FIND "${rest}" "\n## " end)
  string(SUBSTRING "${rest}" 0 ${end} text)
  string(APPEND readme_txt "\n${text}\n")
endforeach()
string(REPLACE "\r\n" "\n" readme_txt "${readme_txt}")
string(REPLACE "\n" "\r\n" readme_txt "${readme_txt}")
file(WRITE ${CMAKE_BINARY_DIR}/README.txt "${readme_txt}")
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION . COMPONENT game)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT game)

set(CPACK_PACKAGE_NAME brawlarium)
set(CPACK_PACKAGE_VENDOR "The Brawlarium authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text-mode arena role-playing game")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "brawlarium-${PROJECT_VERSION}-win64")
# Unpacked, the files sit in the folder the player chose, not one level down.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)

include(CPack)
