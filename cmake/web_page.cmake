# The browser page of the WebAssembly build: installs the page's npm packages
# (pinned by web/package-lock.json, esbuild among them) with npm ci, bundles
# the game module, xterm.js and the page's own files into one minified
# build-web/brawlarium.html with esbuild, and registers its tests: the page
# in headless Chromium, and its pure modules under Node alone.
find_program(BRAWLARIUM_NODE NAMES node nodejs REQUIRED)
find_program(BRAWLARIUM_NPM NAMES npm REQUIRED)

set(BRAWLARIUM_WEB_DIR ${CMAKE_SOURCE_DIR}/web)
set(BRAWLARIUM_NPM_STAMP ${CMAKE_BINARY_DIR}/web-npm-ci.stamp)
set(BRAWLARIUM_PAGE ${CMAKE_BINARY_DIR}/brawlarium.html)

add_custom_command(
  OUTPUT ${BRAWLARIUM_NPM_STAMP}
  COMMAND ${BRAWLARIUM_NPM} ci --no-audit --no-fund --loglevel=error
  COMMAND ${CMAKE_COMMAND} -E touch ${BRAWLARIUM_NPM_STAMP}
  DEPENDS ${BRAWLARIUM_WEB_DIR}/package.json ${BRAWLARIUM_WEB_DIR}/package-lock.json
  WORKING_DIRECTORY ${BRAWLARIUM_WEB_DIR}
  COMMENT "Installing the page's npm packages"
  VERBATIM)

# The page's own files: every file at the top of web/, found again whenever
# one is added or removed.
file(GLOB BRAWLARIUM_PAGE_FILES CONFIGURE_DEPENDS
  ${BRAWLARIUM_WEB_DIR}/*.html ${BRAWLARIUM_WEB_DIR}/*.css ${BRAWLARIUM_WEB_DIR}/*.js ${BRAWLARIUM_WEB_DIR}/*.mjs)

add_custom_command(
  OUTPUT ${BRAWLARIUM_PAGE}
  COMMAND ${BRAWLARIUM_NODE} ${BRAWLARIUM_WEB_DIR}/build_page.mjs $<TARGET_FILE:brawlarium> ${BRAWLARIUM_PAGE}
  DEPENDS brawlarium ${BRAWLARIUM_NPM_STAMP} ${BRAWLARIUM_PAGE_FILES}
  COMMENT "Building the page brawlarium.html"
  VERBATIM)
add_custom_target(brawlarium_page ALL DEPENDS ${BRAWLARIUM_PAGE})

enable_testing()
add_test(NAME web_page_in_chromium
  COMMAND ${BRAWLARIUM_NODE} --test ${BRAWLARIUM_WEB_DIR}/test/page.test.mjs
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(web_page_in_chromium PROPERTIES
  TIMEOUT 240
  ENVIRONMENT "BRAWLARIUM_PAGE=${BRAWLARIUM_PAGE};BRAWLARIUM_RUNNER=$<TARGET_FILE:brawlarium>")

# The page's modules that need no browser (the line editor, the announcer's
# text, the price lists' names, the replay link), each file of cases run by
# Node's own test runner.
file(GLOB BRAWLARIUM_PAGE_UNIT_TESTS CONFIGURE_DEPENDS ${BRAWLARIUM_WEB_DIR}/test/*.test.mjs)
list(FILTER BRAWLARIUM_PAGE_UNIT_TESTS EXCLUDE REGEX "/page\\.test\\.mjs$")
foreach(test_file IN LISTS BRAWLARIUM_PAGE_UNIT_TESTS)
  get_filename_component(test_name ${test_file} NAME_WE)
  add_test(NAME web_page_logic_${test_name} COMMAND ${BRAWLARIUM_NODE} ${test_file})
  set_tests_properties(web_page_logic_${test_name} PROPERTIES TIMEOUT 10)
endforeach()
