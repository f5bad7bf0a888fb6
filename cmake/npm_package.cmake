# The npm package's folder, build-web/npm/package: package.json with the
# project's version, the README for npm users, the licence, and the game
# module as the `brawlarium` command (the same file with a #! line in front,
# which Node skips). scripts/release.sh packs the folder into
# brawlarium-VERSION.tgz.
set(npm_package ${CMAKE_BINARY_DIR}/npm/package)
file(MAKE_DIRECTORY ${npm_package})
configure_file(${CMAKE_SOURCE_DIR}/npm/package.json.in ${npm_package}/package.json @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/npm/README.md ${npm_package}/README.md COPYONLY)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${npm_package}/LICENSE COPYONLY)
file(WRITE ${CMAKE_BINARY_DIR}/npm/shebang "#!/usr/bin/env node\n")

add_custom_command(
  OUTPUT ${npm_package}/brawlarium.js
  COMMAND ${CMAKE_COMMAND} -E cat ${CMAKE_BINARY_DIR}/npm/shebang $<TARGET_FILE:brawlarium> > ${npm_package}/brawlarium.js
  COMMAND chmod 755 ${npm_package}/brawlarium.js
  DEPENDS brawlarium
  COMMENT "Making the npm package's brawlarium command"
  VERBATIM)
add_custom_target(brawlarium_npm_package ALL DEPENDS ${npm_package}/brawlarium.js)
