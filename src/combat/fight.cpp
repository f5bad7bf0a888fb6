// The fight screen: choosing the opponent's level, then the fight itself,
// round by round in colour, until the monster or the player is dead.
#include "combat/fight.h"

#include <chrono>
#include <iostream>

#include "character/character.h"
#include "character/experience_table.h"
#include "combat/opponent.h"
#include "console/console.h"
#include "console/question.h"
#include "equipment/catalogs.h"

namespace {

constexpr const char* Separator = "--------------------------------------------------\n";

// How one side's strike looks: its colours, and the miss message that is
// written around the attacker's name and weapon.
struct StrikeStyle {
    TextAttribute hit;
    TextAttribute miss;
    const char* missAfterName;
    const char* missAfterWeapon;
};

constexpr StrikeStyle PlayerOpens{PlayerHit, PlayerMiss, " attacks with ",
                                  ", but misses and\nlooks like a total ass.\n"};
constexpr StrikeStyle MonsterAnswers{MonsterHit, MonsterMiss, " hits himself in the head with ",
                                     ".\nWhat a Noob!\n"};
constexpr StrikeStyle MonsterOpens{MonsterHit, MonsterMiss, " flails wildly with ",
                                   ",\nthe weapon flies in the air.\n"};
constexpr StrikeStyle PlayerAnswers{PlayerHit, PlayerMiss, " yells like a barbarian, attacking with\n",
                                    ", but trips on a rock and starts to cry.\n"};

// One strike; returns whether the defender is still alive.
bool strike(Character& attacker, Character& defender, const StrikeStyle& style) {
    const int attack = attacker.rollAttack();
    if (attack < defender.getArmorClass()) {
        setTextAttribute(style.miss);
        std::cout << attacker.getName() << style.missAfterName << attacker.weapon.name
                  << style.missAfterWeapon;
        return true;
    }
    setTextAttribute(style.hit);
    const int damage = attacker.rollDamage();
    defender.changeHitPoints(-damage);
    return !defender.isDead();
}

void writeRoundHeader(int roundNumber, const Character& player, const Character& monster) {
    std::cout << "Round " << roundNumber << " - " << player.getName() << " vs. Level " << monster.getLevel()
              << " Monster! (" << player.getHitPoints() << "HP Remaining)\n\n";
}

// Both sides strike once, the opening side first; a strike that kills ends
// the round.
void playRound(Character& player, Character& monster, bool& monsterAlive) {
    if (player.attacksFirst) {
        monsterAlive = strike(player, monster, PlayerOpens);
        std::cout << std::endl;
        if (monsterAlive) {
            characterExists = strike(monster, player, MonsterAnswers);
        }
    } else {
        characterExists = strike(monster, player, MonsterOpens);
        std::cout << std::endl;
        if (characterExists) {
            monsterAlive = strike(player, monster, PlayerAnswers);
        }
    }
    player.attacksFirst = !player.attacksFirst;
    setTextAttribute(Normal);
}

void celebrateVictory(Character& player, const Character& monster, const ExperienceTable& levelTable) {
    std::cout << "\nCongratulations Dill Wad, you killed it!\n";
    player.awardVictory(monster.getLevel());
    player.checkLevelUp(levelTable);
    player.restoreHitPoints();
    if (player.highestLevelBeaten < monster.getLevel()) {
        player.highestLevelBeaten = monster.getLevel();
    }
    std::cout << "Press any key to continue...\n";
    waitForKey();
}

void mournDefeat(Character& player, const WeaponCatalog& weapons, const ArmorCatalog& armors,
                 MenuCode& mainChoice) {
    std::cout << std::endl;
    std::cout << "WTG jackass, you died and lost your character forever\n";
    std::cout << "Press any key to continue...";
    waitForKey();
    player.reset();
    weapons.equip(0, player);
    armors.equip(0, player);
    clearScreen();
    mainChoice = 0;
}

}  // namespace

void runFight(int level, Character& player, const ExperienceTable& levelTable, const WeaponCatalog& weapons,
              const ArmorCatalog& armors, MenuCode& mainChoice,
              std::chrono::milliseconds pauseBetweenRounds) {
    Character EnemyCharacter = createOpponent(level, armors, weapons);
    const int playerInitiative = player.rollInitiative();
    const int monsterInitiative = EnemyCharacter.rollInitiative();
    player.attacksFirst = !(playerInitiative < monsterInitiative);

    bool monsterAlive = true;
    int roundNumber = 1;
    clearScreen();
    std::cout << Separator;
    writeRoundHeader(roundNumber, player, EnemyCharacter);
    for (;;) {
        playRound(player, EnemyCharacter, monsterAlive);
        if (!monsterAlive) {
            celebrateVictory(player, EnemyCharacter, levelTable);
            return;
        }
        if (!characterExists) {
            mournDefeat(player, weapons, armors, mainChoice);
            return;
        }
        std::cout << Separator;
        ++roundNumber;
        // No pause at all is no wait on the terminal either.
        if (pauseBetweenRounds.count() > 0) {
            pauseFor(pauseBetweenRounds);
        }
        writeRoundHeader(roundNumber, player, EnemyCharacter);
    }
}

void runFightScreen(CombatMenu& combatMenu, Character& player, const ExperienceTable& levelTable,
                    const WeaponCatalog& weapons, const ArmorCatalog& armors, std::string& menuChoice,
                    MenuCode& combatChoice, MenuCode& mainChoice,
                    std::chrono::milliseconds pauseBetweenRounds) {
    clearScreen();
    if (!characterExists) {
        std::cout << "You don't have a character dude! Go make one.\n";
        std::cout << "Press any key to continue...\n";
        waitForKey();
        clearScreen();
        mainChoice = 0;
        return;
    }
    combatMenu.setHighestSelectableLevel(player.highestLevelBeaten + 1);
    combatMenu.display();
    combatChoice = askChoice(menuChoice,
                             [&combatMenu](const std::string& word) { return combatMenu.parseChoice(word); });
    if (combatChoice == 0) {
        return;  // input ended
    }
    if (combatChoice == CombatMenu::ReturnCode) {
        mainChoice = 0;
        clearScreen();
        return;
    }
    runFight(combatChoice, player, levelTable, weapons, armors, mainChoice, pauseBetweenRounds);
}
