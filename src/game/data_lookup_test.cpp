// Where the price lists are found: which folder wins, the named folder, the
// platform's XDG folders read from the environment, and the data folder
// beside the program's own.
#include "game/data_lookup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

// Six empty folders standing for the working directory and the five kinds
// of data folder, removed again with everything in them.
class LookupFolders : public ::testing::Test {
protected:
    fs::path root = fs::temp_directory_path() / ("brawlarium_lookup_" + std::to_string(::getpid()));
    std::map<std::string, std::string> folder;
    fs::path previous = fs::current_path();

    void SetUp() override {
        for (const char* name : {"work", "home", "dirs1", "dirs2", "beside", "installed"}) {
            folder[name] = (root / name).string();
            fs::create_directories(folder[name]);
        }
        fs::current_path(folder["work"]);
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(root);
    }
    void put(const std::string& where, const std::string& file) {
        std::ofstream(fs::path(folder[where]) / file);
    }
    std::vector<std::string> searchOrder() {
        return {"", folder["home"], folder["dirs1"], folder["dirs2"], folder["beside"], folder["installed"]};
    }
};

TEST_F(LookupFolders, TheFirstFolderHoldingEitherListSuppliesBoth) {
    const struct {
        std::vector<std::pair<std::string, std::string>> files;  // folder, file
        std::string winner;                                      // "" when nothing is found
    } cases[] = {
        {{}, ""},
        {{{"installed", "weaponlist.txt"}, {"installed", "armorlist.txt"}}, "installed"},
        {{{"beside", "armorlist.txt"}, {"installed", "weaponlist.txt"}}, "beside"},
        {{{"dirs2", "armorlist.txt"}, {"beside", "weaponlist.txt"}}, "dirs2"},
        {{{"dirs1", "weaponlist.txt"}, {"dirs2", "weaponlist.txt"}, {"dirs2", "armorlist.txt"}}, "dirs1"},
        {{{"home", "armorlist.txt"}, {"dirs1", "weaponlist.txt"}}, "home"},
        {{{"work", "weaponlist.txt"}, {"home", "weaponlist.txt"}, {"home", "armorlist.txt"}}, "work"},
    };
    for (const auto& c : cases) {
        for (const auto& [where, file] : c.files) {
            put(where, file);
        }
        const auto found = findPriceLists({}, searchOrder());
        if (c.winner.empty()) {
            EXPECT_FALSE(found);
        } else if (c.winner == "work") {
            ASSERT_TRUE(found);
            EXPECT_EQ(found->weaponFile, "weaponlist.txt");
            EXPECT_EQ(found->armorFile, "armorlist.txt");
        } else {
            ASSERT_TRUE(found) << c.winner;
            EXPECT_EQ(found->weaponFile, (fs::path(folder[c.winner]) / "weaponlist.txt").string());
            EXPECT_EQ(found->armorFile, (fs::path(folder[c.winner]) / "armorlist.txt").string());
        }
        for (const auto& [where, file] : c.files) {
            fs::remove(fs::path(folder[where]) / file);
        }
    }
}

TEST_F(LookupFolders, ANamedFolderIsTakenEvenWhenEmptyAndNoFolderIsNamedInTheMessage) {
    put("work", "weaponlist.txt");
    const auto named = findPriceLists({std::nullopt, std::nullopt, folder["dirs1"]}, searchOrder());
    ASSERT_TRUE(named);
    EXPECT_EQ(named->armorFile, (fs::path(folder["dirs1"]) / "armorlist.txt").string());
    EXPECT_EQ(notFoundMessage({}, {"", "/a/brawlarium"}),
              "cannot find weaponlist.txt or armorlist.txt; searched the working directory (" +
                  fs::current_path().string() + "), /a/brawlarium");
}

// A list named by its own file is taken as given; the other comes from the
// named folder, or from the first folder that holds that other list.
TEST_F(LookupFolders, AListNamedByItsFileLeavesOnlyTheOtherToFind) {
    const struct {
        NamedPriceLists named;
        std::vector<std::pair<std::string, std::string>> files;  // folder, file
        // "" when nothing is found; "@x" stands for the list's standard name in folder x.
        std::string weapons;
        std::string armors;
    } cases[] = {
        {{"my.txt", std::nullopt, std::nullopt},
         {{"work", "weaponlist.txt"}, {"home", "armorlist.txt"}},
         "my.txt",
         "@home"},
        {{std::nullopt, "a/b.txt", folder["dirs2"]}, {{"work", "weaponlist.txt"}}, "@dirs2", "a/b.txt"},
        {{"w", "a", folder["dirs2"]}, {}, "w", "a"},
        {{"w", "a", std::nullopt}, {}, "w", "a"},
        {{std::nullopt, "a", std::nullopt}, {{"work", "armorlist.txt"}}, "", ""},
    };
    for (const auto& c : cases) {
        for (const auto& [where, file] : c.files) {
            put(where, file);
        }
        const auto inFolder = [this](const std::string& shown, const char* file) {
            return shown[0] == '@' ? (fs::path(folder[shown.substr(1)]) / file).string() : shown;
        };
        const auto found = findPriceLists(c.named, searchOrder());
        if (c.weapons.empty()) {
            EXPECT_FALSE(found);
            EXPECT_EQ(notFoundMessage(c.named, {"/a/brawlarium"}),
                      "cannot find weaponlist.txt; searched /a/brawlarium");
        } else {
            ASSERT_TRUE(found) << c.weapons;
            EXPECT_EQ(found->weaponFile, inFolder(c.weapons, "weaponlist.txt"));
            EXPECT_EQ(found->armorFile, inFolder(c.armors, "armorlist.txt"));
        }
        for (const auto& [where, file] : c.files) {
            fs::remove(fs::path(folder[where]) / file);
        }
    }
}

TEST(PriceListFoldersTest, FollowTheXdgVariablesAndTheProgramsFolder) {
    // The program as installed where the build was configured to: its own
    // data folder is the installed one, searched once.
    const std::string installedProgram =
        (fs::path(BRAWLARIUM_INSTALLED_DATA_DIR).parent_path().parent_path().parent_path() / "games" /
         "brawlarium")
            .string();
    const struct {
        const char* dataHome;
        const char* home;
        const char* dataDirs;
        std::vector<std::string> platform;
        std::string executable{};
    } cases[] = {
        {nullptr,
         "/h",
         nullptr,
         {"/h/.local/share/brawlarium", "/usr/local/share/brawlarium", "/usr/share/brawlarium"}},
        {"/x/", "/h", "", {"/x/brawlarium", "/usr/local/share/brawlarium", "/usr/share/brawlarium"}},
        {"relative", nullptr, "/a:relative::/b/", {"/a/brawlarium", "/b/brawlarium"}},
        {"", "", "/", {"/brawlarium"}},
        {"", "", "/", {"/brawlarium", "/opt/bw/share/games/brawlarium"}, "/opt/bw/games/brawlarium"},
        {"", "", "/", {"/brawlarium"}, installedProgram},
    };
    const auto set = [](const char* name, const char* value) {
        value == nullptr ? ::unsetenv(name) : ::setenv(name, value, 1);
    };
    // The variables as they were, put back at the end for the tests after this one.
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    for (const char* name : {"XDG_DATA_HOME", "HOME", "XDG_DATA_DIRS"}) {
        const char* value = std::getenv(name);
        saved.emplace_back(name, value == nullptr ? std::nullopt : std::optional<std::string>(value));
    }
    for (const auto& c : cases) {
        set("XDG_DATA_HOME", c.dataHome);
        set("HOME", c.home);
        set("XDG_DATA_DIRS", c.dataDirs);
        std::vector<std::string> expected{""};
        expected.insert(expected.end(), c.platform.begin(), c.platform.end());
        expected.emplace_back(BRAWLARIUM_INSTALLED_DATA_DIR);
        EXPECT_EQ(priceListFolders(c.executable), expected) << (c.dataDirs ? c.dataDirs : "(unset)");
    }
    for (const auto& [name, value] : saved) {
        set(name, value ? value->c_str() : nullptr);
    }
}

}  // namespace
