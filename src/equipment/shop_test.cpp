// The shop screens driven in-process: whole screens byte for byte, then
// which answers buy what and what they cost.
#include "equipment/shop.h"

#include <gtest/gtest.h>

#include <string>

#include "character/character.h"
#include "equipment/catalogs.h"
#include "support/capture.h"
#include "support/combat_reference.h"
#include "support/screens.h"

namespace {

// Names of 11 and 12 characters in one-digit and two-digit rows, prices
// written as 0, 2.5 and 1200, negative armor values.
const char* const ShopWeapons =
    "Fist;1;3;20;2;0\n"
    "Eleven Char;1;6;19;2;2.5\n"
    "Twelve Chars;2;4;18;3;1200\n"
    "Pike;1;8;0;4;4\n"
    "Sling;1;4;20;2;5\n"
    "Whip;1;3;20;2;6\n"
    "Seven Star;1;8;19;2;7\n"
    "Cutlass;1;6;18;2;8\n"
    "Sabre;1;6;18;2;9\n"
    "Eleven Tens;1;8;20;2;10\n"
    "Twelve Tenth;1;8;20;2;11\n"
    "Great Hammer;2;6;20;3;12\n"
    "Lance;1;10;20;3;13\n"
    "Bardiche;1;12;19;3;14\n"
    "Doom;2;10;18;3;15\n";

const char* const ShopArmors =
    "Skin;0;8;0\n"
    "Eleven Char;-1;-2;2.5\n"
    "Twelve Chars;3;1;1200\n"
    "Cap;1;5;4\n"
    "Vest;1;5;5\n"
    "Jerkin;2;4;6\n"
    "Hauberk;3;3;7\n"
    "Cuirass;4;2;8\n"
    "Brigandine;4;2;9\n"
    "Eleven Tens;5;1;10\n"
    "Ten Chars!;5;1;11\n"
    "Twelve Tenth;6;0;12\n"
    "Last Plate;7;0;13\n";

const char* const WeaponListing =
    "------LISTING WEAPONS-------\n"
    "[1] Fist\t\t1d3 (20/x2)\t0g\n"
    "[2] Eleven Char\t\t1d6 (19-20/x2)\t2.5g\n"
    "[3] Twelve Chars\t2d4 (18-20/x3)\t1200g\n"
    "[4] Pike\t\t1d8 (0-20/x4)\t4g\n"
    "[5] Sling\t\t1d4 (20/x2)\t5g\n"
    "[6] Whip\t\t1d3 (20/x2)\t6g\n"
    "[7] Seven Star\t\t1d8 (19-20/x2)\t7g\n"
    "[8] Cutlass\t\t1d6 (18-20/x2)\t8g\n"
    "[9] Sabre\t\t1d6 (18-20/x2)\t9g\n"
    "[10] Eleven Tens\t\t1d8 (20/x2)\t10g\n"
    "[11] Twelve Tenth\t1d8 (20/x2)\t11g\n"
    "[12] Great Hammer\t2d6 (20/x3)\t12g\n"
    "[13] Lance\t\t1d10 (20/x3)\t13g\n"
    "[14] Bardiche\t\t1d12 (19-20/x3)\t14g\n"
    "[15] Doom\t\t2d10 (18-20/x3)\t15g\n"
    "[R] Return to the equipment menu.\n"
    "---END WEAPON LIST--------\n";

const char* const ArmorListing =
    "------LISTING ARMOR-------\n"
    "[1] Skin\t\tAC: +0\tMax Dex: +8\t0g\n"
    "[2] Eleven Char\t\tAC: +-1\tMax Dex: +-2\t2.5g\n"
    "[3] Twelve Chars\tAC: +3\tMax Dex: +1\t1200g\n"
    "[4] Cap\t\tAC: +1\tMax Dex: +5\t4g\n"
    "[5] Vest\t\tAC: +1\tMax Dex: +5\t5g\n"
    "[6] Jerkin\t\tAC: +2\tMax Dex: +4\t6g\n"
    "[7] Hauberk\t\tAC: +3\tMax Dex: +3\t7g\n"
    "[8] Cuirass\t\tAC: +4\tMax Dex: +2\t8g\n"
    "[9] Brigandine\t\tAC: +4\tMax Dex: +2\t9g\n"
    "[10] Eleven Tens\tAC: +5\tMax Dex: +1\t10g\n"
    "[11] Ten Chars!\t\tAC: +5\tMax Dex: +1\t11g\n"
    "[12] Twelve Tenth\tAC: +6\tMax Dex: +0\t12g\n"
    "[13] Last Plate\t\tAC: +7\tMax Dex: +0\t13g\n"
    "[R] Return to the equipment menu.\n"
    "---END ARMOR LIST--------\n";

class ShopTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(weapons.loaded() && armors.loaded());
        characterExists = true;
    }
    void TearDown() override { characterExists = false; }

    // One pass of the shop with the given answers; returns what it wrote.
    std::string pass(Character& player, const std::string& answers) {
        ConsoleCapture console(answers);
        EquipmentMenu menu;
        console.take();
        std::string menuChoice;
        MenuCode equipmentChoice = 0;
        mainChoice = 2;
        runShopPass(menu, player, weapons, armors, menuChoice, equipmentChoice, mainChoice);
        keyWaits = ConsoleCapture::keyWaits();
        return console.take();
    }

    // A named player wearing the given entries with the given gold.
    void outfit(Character& player, int weaponIndex, int armorIndex, double gold) {
        ConsoleCapture console;
        player.name = "Hero";
        weapons.equip(weaponIndex, player);
        armors.equip(armorIndex, player);
        player.gold = gold;
    }

    TempDataFile weaponFile{ShopWeapons};
    TempDataFile armorFile{ShopArmors};
    WeaponCatalog weapons{weaponFile.path()};
    ArmorCatalog armors{armorFile.path()};
    MenuCode mainChoice = 2;
    int keyWaits = 0;
};

TEST_F(ShopTest, BuyWeaponScreenWholeWithAPurchase) {
    Character player;
    outfit(player, 0, 0, 3);
    EXPECT_EQ(pass(player, "a 2"),
              clearedScreen() + screens::EquipmentMenu +
                  "Your Choice: Purchase Weapon Selected\nBuy Weapon\n" + clearedScreen() + WeaponListing +
                  "You are currently using Fist\nYou have 3 gold to spend.\n"
                  "What weapon would you like to buy? Setting character weapon to Eleven Char\n"
                  "Your equipped weapon is...\n"
                  "Eleven Char 1d6 Critical Roll: 19-20 Critical Hit Multiplier: x2\n"
                  "Press any key to continue...\n");
    EXPECT_DOUBLE_EQ(player.gold, 0.5);
    EXPECT_EQ(keyWaits, 1);
    EXPECT_EQ(mainChoice, 2) << "a Buy screen goes back to the equipment menu";
}

TEST_F(ShopTest, BuyArmorScreenWholeWithARefusalAndAnAttemptOnTheWornItem) {
    Character player;
    outfit(player, 0, 1, 2);
    const std::string head = clearedScreen() + screens::EquipmentMenu +
                             "Your Choice: Purchase Armor selected \nBuy Armor\n" + clearedScreen() +
                             ArmorListing +
                             "You are currently using Eleven Char\nYou have 2 gold to spend.\n"
                             "What armor would you like to buy? ";
    const std::string equipped =
        "Your equipped armor is...\nEleven Char AC: -1 Max Dexterity Bonus: +-2"
        "\nPress any key to continue...\n";
    EXPECT_EQ(pass(player, "B 3"), head + "You can't afford that, poor ass!\n" + equipped);
    // The worn item without the gold for it: only the can't-afford message.
    EXPECT_EQ(pass(player, "b 2"), head + "You can't afford that, poor ass!\n" + equipped);
    player.gold = 5;
    EXPECT_EQ(pass(player, "b 2"), std::string(head).replace(head.find("have 2 gold"), 11, "have 5 gold") +
                                       "Armor already equipped!\n" + equipped);
    EXPECT_DOUBLE_EQ(player.gold, 5.0) << "the worn item costs nothing";
    EXPECT_EQ(player.armor.name, "Eleven Char");
}

TEST_F(ShopTest, AnInvalidMenuAnswerAsksAgainWithoutTheMenu) {
    Character player;
    outfit(player, 0, 0, 0);
    EXPECT_EQ(pass(player, "x aa r"), clearedScreen() + screens::EquipmentMenu +
                                          "Your Choice: Invalid Choice!\nYour Choice: Invalid Choice!\n"
                                          "Your Choice: Returning to Main Menu\n" +
                                          clearedScreen());
    EXPECT_EQ(mainChoice, 0);
}

struct PurchaseCase {
    const char* answers;  // the menu letter, then the number asked for
    int wornWeapon;
    int wornArmor;
    double gold;
    const char* message;  // written right after the purchase question
    const char* weaponAfter;
    const char* armorAfter;
    double goldAfter;
    int keyWaits;
};

TEST_F(ShopTest, AnswersOnTheBuyScreens) {
    const char* const Invalid = "Invalid Choice! Press any key to continue...\n";
    const char* const Poor = "You can't afford that, poor ass!\n";
    const PurchaseCase cases[] = {
        {"a 2", 0, 0, 2.5, "Setting character weapon to Eleven Char\n", "Eleven Char", "Skin", 0.0, 1},
        {"a 2", 0, 0, 2.0, Poor, "Fist", "Skin", 2.0, 1},
        {"a 3", 0, 0, 1199.5, Poor, "Fist", "Skin", 1199.5, 1},
        {"a 2", 1, 0, 10, "Already equipped with that weapon!\n", "Eleven Char", "Skin", 10, 1},
        {"a 2", 1, 0, 1, Poor, "Eleven Char", "Skin", 1, 1},
        {"a 1", 2, 0, 0, "Setting character weapon to Fist\n", "Fist", "Skin", 0, 1},  // no refund
        {"a 7abc", 0, 0, 20, "Setting character weapon to Seven Star\n", "Seven Star", "Skin", 13, 1},
        {"a 15", 0, 0, 20, "Setting character weapon to Doom\n", "Doom", "Skin", 5, 1},
        {"a 0", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"a 16", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"a -2", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"a x7", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"a Return", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"a rr", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"a q", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"a 99999999999", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"a 4294967297", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"a -4294967295", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"a r", 0, 0, 50, "Returning to the Menu.\n", "Fist", "Skin", 50, 0},
        {"a R", 0, 0, 50, "Returning to the Menu.\n", "Fist", "Skin", 50, 0},
        {"b 13", 0, 0, 13, "Setting character armor to Last Plate\n", "Fist", "Last Plate", 0, 1},
        {"b 3", 0, 0, 1200, "Setting character armor to Twelve Chars\n", "Fist", "Twelve Chars", 0, 1},
        {"b 2", 0, 0, 2, Poor, "Fist", "Skin", 2, 1},
        {"b 1", 0, 2, 0, "Setting character armor to Skin\n", "Fist", "Skin", 0, 1},
        {"b 14", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"b 0", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"b -13", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"b 4294967297", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"b Rr", 0, 0, 50, Invalid, "Fist", "Skin", 50, 1},
        {"b r", 0, 0, 50, "Returning to the Menu.\n", "Fist", "Skin", 50, 0},
    };
    for (const PurchaseCase& c : cases) {
        SCOPED_TRACE(std::string("answers \"") + c.answers + "\", gold " + std::to_string(c.gold));
        Character player;
        outfit(player, c.wornWeapon, c.wornArmor, c.gold);
        const std::string text = pass(player, c.answers);
        const std::string question = c.answers[0] == 'a' ? "What weapon would you like to buy? "
                                                         : "What armor would you like to buy? ";
        const std::size_t asked = text.rfind(question);
        ASSERT_NE(asked, std::string::npos) << text;
        const std::string after = text.substr(asked + question.size());
        EXPECT_EQ(after.substr(0, std::string(c.message).size()), c.message) << after;
        if (std::string(c.message) == Invalid) {
            EXPECT_EQ(after, Invalid) << "nothing else follows an invalid answer";
        }
        if (c.keyWaits == 0) {
            EXPECT_EQ(after, c.message + clearedScreen());
        }
        EXPECT_EQ(player.weapon.name, c.weaponAfter);
        EXPECT_EQ(player.armor.name, c.armorAfter);
        EXPECT_DOUBLE_EQ(player.gold, c.goldAfter);
        EXPECT_EQ(keyWaits, c.keyWaits);
        EXPECT_EQ(mainChoice, 2);
    }
}

TEST_F(ShopTest, ADearItemThenACheaperOneRefundsNothing) {
    Character player;
    outfit(player, 0, 0, 1210);
    pass(player, "a 3");
    EXPECT_DOUBLE_EQ(player.gold, 10.0);
    pass(player, "a 2");
    EXPECT_EQ(player.weapon.name, "Eleven Char");
    EXPECT_DOUBLE_EQ(player.gold, 7.5);
    const std::string text = pass(player, "b 1");
    EXPECT_NE(text.find("You have 7.5 gold to spend.\n"), std::string::npos);
    EXPECT_NE(text.find("Armor already equipped!\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(player.gold, 7.5);
}

TEST_F(ShopTest, WithoutACharacterTheShopSendsThePlayerBack) {
    characterExists = false;
    Character player;
    outfit(player, 0, 0, 100);
    EXPECT_EQ(pass(player, "a 2"), clearedScreen() +
                                       "Are you buying equipment for a ghost? Go make a character!\n"
                                       "Press any key to continue...\n" +
                                       clearedScreen());
    EXPECT_EQ(mainChoice, 0);
    EXPECT_EQ(keyWaits, 1);
    EXPECT_EQ(player.weapon.name, "Fist");
    EXPECT_DOUBLE_EQ(player.gold, 100.0);
}

}  // namespace
