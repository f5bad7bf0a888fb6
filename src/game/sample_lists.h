// The sample price lists built into the game, and writing a copy of them for
// whoever writes lists of their own (--sample-lists DIR).
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The bytes of data/weaponlist.txt and data/armorlist.txt as built in
// (sample_lists_data.cpp, made by cmake/sample_lists.cmake).
extern const std::string_view SampleWeaponList;
extern const std::string_view SampleArmorList;

// Writes weaponlist.txt and armorlist.txt into `folder`, made first when it
// does not exist, but never over an existing file: when either name is
// taken, or a write fails, nothing is left written. Returns why, in one
// line without the program's name, or nothing when both were written.
std::optional<std::string> writeSampleLists(const std::string& folder);

// What --sample-lists says after writing into `folder`: the files written,
// and how to check them once edited.
std::string sampleListsWritten(const std::string& folder);
