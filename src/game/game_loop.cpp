// The game from start-up to shut-down: the long-lived objects, the main menu
// loop that runs one screen per pass, and the way out.
#include "game/game_loop.h"

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>

#include "character/character.h"
#include "character/experience_table.h"
#include "combat/fight.h"
#include "combat/price_list_check.h"
#include "console/console.h"
#include "console/question.h"
#include "equipment/catalogs.h"
#include "equipment/shop.h"
#include "game/saved_game.h"
#include "game/screens.h"
#include "menus/menus.h"

namespace {

// Keeps the console taken for as long as the game runs, and gives it back on
// every way out of GameLoop.
class ConsoleSession {
public:
    ConsoleSession() { openConsole(); }
    ~ConsoleSession() { closeConsole(); }
    ConsoleSession(const ConsoleSession&) = delete;
    ConsoleSession& operator=(const ConsoleSession&) = delete;
};

// In a batch game every key wait ends at once, without looking for a
// terminal; the key wait in force before is put back on every way out.
class BatchKeyWaits {
public:
    explicit BatchKeyWaits(bool batch) : batch(batch) {
        if (batch) {
            previous = setKeyWaitHandler([] {});
        }
    }
    ~BatchKeyWaits() {
        if (batch) {
            setKeyWaitHandler(previous);
        }
    }
    BatchKeyWaits(const BatchKeyWaits&) = delete;
    BatchKeyWaits& operator=(const BatchKeyWaits&) = delete;

private:
    bool batch;
    KeyWaitHandler previous = nullptr;
};

// The one line of a refusal names the file as it was given, with what it is
// used as when its name is not the standard one.
void reportLoadFailure(const LoadError& error, const std::string& fileShown) {
    std::cout.flush();
    std::cerr << error.message(fileShown) << std::endl;
}

void refuseSaveFile(const std::string& path, const std::string& why) {
    std::cout.flush();
    std::cerr << "brawlarium: cannot continue the game saved in '" << path << "': " << why
              << "; the file is left as it is" << std::endl;
}

// Opens the setup's save file, if it names one, into saved; false after
// saying why when the file cannot continue in this game.
bool openSaveFile(const GameSetup& setup, std::unique_ptr<SavedGame>& saved) {
    if (setup.saveFile.empty()) {
        return true;
    }
    std::string refusal;
    saved = SavedGame::open(setup.saveFile, setup.weaponFile, setup.armorFile, setup.seed, refusal);
    if (!refusal.empty()) {
        refuseSaveFile(setup.saveFile, refusal);
        return false;
    }
    return true;
}

// True, after saying why, when the save file's record did not fit the game
// it was played back in; the file is then left as it was.
bool recordMisfit(const GameSetup& setup, SavedGame* saved) {
    if (saved == nullptr || saved->misfit().empty()) {
        return false;
    }
    saved->stopReplay();
    refuseSaveFile(setup.saveFile, saved->misfit());
    return true;
}

// While the game runs, its questions and key waits go through the save file
// (when there is one), which plays its record back first, unseen.
class SaveFileInPlay {
public:
    explicit SaveFileInPlay(SavedGame* saved) : saved(saved) {
        if (saved != nullptr) {
            setInputJournal(saved);
            saved->startReplay();
        }
    }
    ~SaveFileInPlay() {
        if (saved != nullptr) {
            saved->stopReplay();
            setInputJournal(nullptr);
        }
    }
    SaveFileInPlay(const SaveFileInPlay&) = delete;
    SaveFileInPlay& operator=(const SaveFileInPlay&) = delete;

private:
    SavedGame* saved;
};

}  // namespace

int GameLoop(const GameSetup& setup) {
    std::unique_ptr<SavedGame> saved;
    if (!openSaveFile(setup, saved)) {
        return 1;
    }
    std::optional<unsigned> seed = saved ? saved->seed() : setup.seed;
    std::srand(seed ? *seed : static_cast<unsigned>(std::time(nullptr)));
    const ConsoleSession console;
    const BatchKeyWaits keyWaits(setup.batch);
    const SaveFileInPlay saveFile(saved.get());
    characterExists = false;
    quitRequested = false;
    resetInputState();

    std::string MenuChoice;
    MenuCode mainChoice = 0;
    MenuCode creationChoice = 0;
    MenuCode equipmentChoice = 0;
    MenuCode combatChoice = 0;
    bool freshCreation = true;

    MainMenu Menu;
    EquipmentMenu EquipmentMenu;
    CombatMenu CombatMenu;
    Character MainCharacter;
    const ExperienceTable LevelTable;
    const WeaponCatalog WeaponList(setup.weaponFile);
    if (!WeaponList.loaded()) {
        reportLoadFailure(WeaponList.loadError(), WeaponCatalog::introduce(setup.weaponFile));
        return PriceListsRefused;
    }
    const ArmorCatalog ArmorList(setup.armorFile);
    if (!ArmorList.loaded()) {
        reportLoadFailure(ArmorList.loadError(), ArmorCatalog::introduce(setup.armorFile));
        return PriceListsRefused;
    }
    MainCharacter.buyWeapon(0, WeaponList);
    MainCharacter.buyArmor(0, ArmorList);
    clearScreen();

    while (!quitRequested) {
        setTextAttribute(Normal);
        Menu.display();
        mainChoice =
            askChoice(MenuChoice, [&Menu](const std::string& word) { return Menu.parseChoice(word); });
        while (mainChoice == 1 && !quitRequested) {
            runCreationScreen(MainCharacter, WeaponList, ArmorList, MenuChoice, creationChoice, mainChoice,
                              freshCreation);
        }
        freshCreation = true;
        while (mainChoice == 2 && !quitRequested) {
            runShopPass(EquipmentMenu, MainCharacter, WeaponList, ArmorList, MenuChoice, equipmentChoice,
                        mainChoice);
        }
        if (mainChoice == 3) {
            runStatsScreen(MainCharacter);
        }
        while (mainChoice == 4 && !quitRequested) {
            runFightScreen(CombatMenu, MainCharacter, LevelTable, WeaponList, ArmorList, MenuChoice,
                           combatChoice, mainChoice, setup.pauseBetweenRounds);
        }
        if (mainChoice == 5) {
            quitRequested = true;
            // Quitting ends this run, not the game kept in the save file.
            if (saved) {
                saved->forgetLastAnswer();
            }
        }
    }
    if (recordMisfit(setup, saved.get())) {
        return 1;
    }
    return outputFailed() ? 1 : 0;
}
