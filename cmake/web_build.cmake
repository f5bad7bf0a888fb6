# The WebAssembly build (Emscripten): one JavaScript file, build-web/brawlarium.js,
# that holds the module with its wasm inlined and the sample price lists built
# in. A host creates one instance per game with createBrawlarium({...}); run
# directly by Node, the same file is a command-line game (console_web_node.js).

set(BRAWLARIUM_WEB_DATA_DIR "${BRAWLARIUM_INSTALLED_DATA_DIR}")
set(web_console "${CMAKE_SOURCE_DIR}/src/console")
configure_file(${CMAKE_SOURCE_DIR}/cmake/web_module_facts.js.in ${CMAKE_BINARY_DIR}/web_module_facts.js @ONLY)

# emcc's JavaScript optimizer needs Debian's acorn, which a Node from
# elsewhere on PATH does not find by itself.
set(web_link_launcher "${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs")
set_property(TARGET brawlarium PROPERTY RULE_LAUNCH_LINK "${web_link_launcher}")

target_link_options(brawlarium PRIVATE
  # Questions, key waits and pauses suspend the game while the host runs.
  -sASYNCIFY=1
  -sASYNCIFY_STACK_SIZE=65536
  # A fresh instance, and so fresh process-wide state, for every game.
  -sMODULARIZE=1
  -sEXPORT_NAME=createBrawlarium
  -sEXIT_RUNTIME=1
  # One file: Node's fetch cannot load a separate .wasm under this emcc.
  -sSINGLE_FILE=1
  -sENVIRONMENT=web,node
  # The game needs little: start small and grow if a list asks for more.
  -sINITIAL_MEMORY=4MB
  -sTOTAL_STACK=1MB
  -sALLOW_MEMORY_GROWTH=1
  -sEXPORTED_RUNTIME_METHODS=FS
  # The host asks whether a character exists before it replaces a game.
  -sEXPORTED_FUNCTIONS=_main,_brawlariumCharacterExists
  -lnodefs.js
  "SHELL:--pre-js ${web_console}/console_web_module.js"
  "SHELL:--extern-post-js ${CMAKE_BINARY_DIR}/web_module_facts.js"
  "SHELL:--extern-post-js ${web_console}/console_web_node.js"
  "SHELL:--embed-file ${CMAKE_SOURCE_DIR}/data/weaponlist.txt@${BRAWLARIUM_WEB_DATA_DIR}/weaponlist.txt"
  "SHELL:--embed-file ${CMAKE_SOURCE_DIR}/data/armorlist.txt@${BRAWLARIUM_WEB_DATA_DIR}/armorlist.txt")
set_property(TARGET brawlarium APPEND PROPERTY LINK_DEPENDS
  "${web_console}/console_web_module.js"
  "${web_console}/console_web_node.js"
  "${CMAKE_BINARY_DIR}/web_module_facts.js"
  "${CMAKE_SOURCE_DIR}/data/weaponlist.txt"
  "${CMAKE_SOURCE_DIR}/data/armorlist.txt")
