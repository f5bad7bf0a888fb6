# The WebAssembly build (Emscripten): one JavaScript file, build-web/brawlarium.js,
# that holds the module with its wasm inlined and the sample price lists built
# in. A host creates one instance per game with createBrawlarium({...}); run
# directly by Node, the same file is a command-line game (console_web_node.js).

set(BRAWLARIUM_WEB_DATA_DIR "${BRAWLARIUM_INSTALLED_DATA_DIR}")
set(web_console "${CMAKE_SOURCE_DIR}/src/console")

# Sets `variable` to the number that `pattern`'s group matches in the C++
# file: a rule of the game that the page needs, read from its constant so
# that the page cannot fall behind it. A file that no longer matches stops
# the configuration; a change to the file configures again.
function(brawlarium_game_rule variable file pattern)
  set(path "${CMAKE_SOURCE_DIR}/${file}")
  file(STRINGS "${path}" lines REGEX "${pattern}")
  if(NOT lines MATCHES "${pattern}")
    message(FATAL_ERROR "${file} no longer holds what '${pattern}' reads for the page")
  endif()
  set(${variable} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
endfunction()
brawlarium_game_rule(BRAWLARIUM_LARGEST_SEED src/game/command_line.h "LargestSeed = ([0-9]+)")
brawlarium_game_rule(BRAWLARIUM_LONGEST_PAUSE src/game/command_line.h "LongestPause = ([0-9]+)")
brawlarium_game_rule(BRAWLARIUM_DEFAULT_PAUSE src/combat/fight.h "DefaultPauseBetweenRounds\\{([0-9]+)")
brawlarium_game_rule(BRAWLARIUM_CLEAR_LINE_ENDS src/console/console.h "ClearLineEnds = ([0-9]+)")
brawlarium_game_rule(BRAWLARIUM_BAD_COMMAND_LINE src/game/brawlarium.cpp "BadCommandLine = ([0-9]+)")
brawlarium_game_rule(BRAWLARIUM_LISTS_REFUSED src/combat/price_list_check.h "PriceListsRefused = ([0-9]+)")
brawlarium_game_rule(BRAWLARIUM_MOST_KEY_BYTES_SHIFT src/game/save_file.h "MostKeyBytes = std::size_t\\{1\\} << ([0-9]+)U")
brawlarium_game_rule(BRAWLARIUM_MOST_HEADER_BYTES src/game/save_file.h "MostHeaderBytes = ([0-9]+)")
configure_file(${CMAKE_SOURCE_DIR}/cmake/web_module_facts.js.in ${CMAKE_BINARY_DIR}/web_module_facts.js @ONLY)

# emcc's JavaScript optimizer needs Debian's acorn, which a Node from
# elsewhere on PATH does not find by itself.
set(web_link_launcher "${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs")
set_property(TARGET brawlarium PROPERTY RULE_LAUNCH_LINK "${web_link_launcher}")

# The page downloads the game: an optimized build favours size (-Oz, for
# the compiler and for wasm-opt as emcc runs it at the link), which also
# keeps the game as fast as -O3 under Node (scripts/bench.sh measures both).
set(web_size_flag $<$<NOT:$<CONFIG:Debug>>:-Oz>)
target_compile_options(brawlarium_core PRIVATE ${web_size_flag})

# What both links below share: the module, its runtime and the data.
set(web_link_options
  ${web_size_flag}
  # A fresh instance, and so fresh process-wide state, for every game.
  -sMODULARIZE=1
  -sEXPORT_NAME=createBrawlarium
  -sEXIT_RUNTIME=1
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

# Questions, key waits and pauses suspend the game while the host runs.
# Asyncify instruments only the functions that can be on the stack then
# (console_web_waits.txt says how that list is made): the same game linked
# once more without Asyncify and with function names gives the call graph.
find_program(BRAWLARIUM_NODE NAMES node nodejs REQUIRED)
find_program(BRAWLARIUM_WASM_DIS NAMES wasm-dis REQUIRED)
add_executable(brawlarium_callgraph src/game/main.cpp)
target_link_libraries(brawlarium_callgraph PRIVATE brawlarium_core)
target_compile_options(brawlarium_callgraph PRIVATE ${web_size_flag})
target_compile_options(brawlarium PRIVATE ${web_size_flag})
target_link_options(brawlarium_callgraph PRIVATE ${web_link_options} --profiling-funcs)
set_property(TARGET brawlarium_callgraph PROPERTY RULE_LAUNCH_LINK "${web_link_launcher}")
set(web_asyncify_only "${CMAKE_BINARY_DIR}/asyncify-only.txt")
add_custom_command(
  OUTPUT ${web_asyncify_only}
  COMMAND ${CMAKE_COMMAND} -E env WASM_DIS=${BRAWLARIUM_WASM_DIS}
    ${BRAWLARIUM_NODE} ${web_console}/console_web_waits.mjs
    $<TARGET_FILE_DIR:brawlarium_callgraph>/brawlarium_callgraph.wasm
    ${web_console}/console_web_waits.txt ${web_asyncify_only}
  DEPENDS brawlarium_callgraph ${web_console}/console_web_waits.mjs ${web_console}/console_web_waits.txt
  COMMENT "Listing the functions that can wait for the host"
  VERBATIM)
add_custom_target(brawlarium_asyncify_only DEPENDS ${web_asyncify_only})
add_dependencies(brawlarium brawlarium_asyncify_only)

target_link_options(brawlarium PRIVATE
  ${web_link_options}
  -sASYNCIFY=1
  "SHELL:-sASYNCIFY_ONLY=@${web_asyncify_only}"
  -sASYNCIFY_STACK_SIZE=65536
  # One file: Node's fetch cannot load a separate .wasm under this emcc.
  -sSINGLE_FILE=1)
set_property(TARGET brawlarium APPEND PROPERTY LINK_DEPENDS "${web_asyncify_only}")
set_property(TARGET brawlarium brawlarium_callgraph APPEND PROPERTY LINK_DEPENDS
  "${web_console}/console_web_module.js"
  "${web_console}/console_web_node.js"
  "${CMAKE_BINARY_DIR}/web_module_facts.js"
  "${CMAKE_SOURCE_DIR}/data/weaponlist.txt"
  "${CMAKE_SOURCE_DIR}/data/armorlist.txt")
