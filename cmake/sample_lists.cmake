# The sample price lists built into the game, which `brawlarium
# --sample-lists DIR` writes out on every build: data/weaponlist.txt and
# data/armorlist.txt as C++ string literals in sample_lists_data.cpp of the
# build folder, made when configuring, again whenever a list changes.

# A file's bytes as adjacent string literals of \x escapes, 16 bytes a line.
function(sample_list_literal file variable)
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" length)
  set(literal "")
  foreach(start RANGE 0 ${length} 32)
    string(SUBSTRING "${hex}" ${start} 32 chunk)
    if(NOT chunk STREQUAL "")
      string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${chunk}")
      string(APPEND literal "\n    \"${escaped}\"")
    endif()
  endforeach()
  if(literal STREQUAL "")
    set(literal " \"\"")
  endif()
  set(${variable} "${literal}" PARENT_SCOPE)
endfunction()

set(sample_weapons ${CMAKE_SOURCE_DIR}/data/weaponlist.txt)
set(sample_armors ${CMAKE_SOURCE_DIR}/data/armorlist.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${sample_weapons} ${sample_armors})
sample_list_literal(${sample_weapons} weapons)
sample_list_literal(${sample_armors} armors)
set(sample_lists_source ${CMAKE_BINARY_DIR}/sample_lists_data.cpp)
file(WRITE ${sample_lists_source}.new "\
// The sample price lists built into the game, made by cmake/sample_lists.cmake
// from data/weaponlist.txt and data/armorlist.txt.
#include \"game/sample_lists.h\"

namespace {
constexpr char Weapons[] =${weapons};
constexpr char Armors[] =${armors};
}  // namespace

const std::string_view SampleWeaponList(Weapons, sizeof Weapons - 1);
const std::string_view SampleArmorList(Armors, sizeof Armors - 1);
")
# Copied only when it changed, so that an unchanged list rebuilds nothing.
configure_file(${sample_lists_source}.new ${sample_lists_source} COPYONLY)
target_sources(brawlarium_core PRIVATE ${sample_lists_source})
