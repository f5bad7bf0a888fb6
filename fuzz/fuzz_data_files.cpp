// Feeds arbitrary bytes to both price-list loaders. Every input either loads
// or is refused with a message that names the file; nothing may crash, hang
// or trip a sanitizer. A list that loads is also listed and bought from, so
// whatever names and numbers got through are shown and used once. The
// price-list check then reads the same bytes as both lists: it refuses them
// exactly when a loader does, and otherwise builds and weighs every monster.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "character/character.h"
#include "combat/price_list_check.h"
#include "equipment/catalogs.h"
#include "fuzz_support.h"

namespace {

// One fixed path in a private temporary directory, rewritten for every input.
std::string dataDirectory;
std::string dataFile;

void removeDataFile() {
    std::remove(dataFile.c_str());
    rmdir(dataDirectory.c_str());
}

void writeDataFile(const std::uint8_t* data, std::size_t size) {
    std::ofstream file(dataFile, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    file.close();
    fuzzCheck(!file.fail(), "the input could not be written to the data file");
}

// A refusal carries a reason and points at the file, and at a line of it
// that the loader actually reads.
template <typename Catalog>
void checkRefusal(const Catalog& catalog) {
    const LoadError& error = catalog.loadError();
    fuzzCheck(!error.reason.empty() && !error.message().empty(), "a refused list has no message");
    fuzzCheck(error.file == dataFile, "the message does not name the file");
    fuzzCheck(error.line >= 0 && error.line <= Catalog::Size, "the message names a line outside the list");
    fuzzCheck(error.message().compare(0, dataFile.size(), dataFile) == 0,
              "the message does not start with the file name");
}

// Every name that loads is one non-empty field of at most 299 characters.
template <typename Catalog>
void checkNames(const Catalog& catalog) {
    for (const std::string& name : catalog.names) {
        fuzzCheck(!name.empty(), "a loaded entry has an empty name");
        fuzzCheck(name.find(';') == std::string::npos, "a loaded name holds a separator");
        fuzzCheck(name.size() <= 299, "a loaded name is longer than a line may be");
    }
}

void exerciseWeapons(const WeaponCatalog& weapons) {
    checkNames(weapons);
    for (const int dieSize : weapons.dieSizes) {
        fuzzCheck(dieSize >= 1, "a loaded weapon has a die size below 1");
    }
    weapons.list();
    Character buyer;
    buyer.addGold(1000.0);
    for (int index = 0; index < WeaponCatalog::Size; ++index) {
        buyer.buyWeapon(index, weapons);
        buyer.weapon.display();
    }
}

void exerciseArmor(const ArmorCatalog& armors) {
    checkNames(armors);
    armors.list();
    Character buyer;
    buyer.addGold(1000.0);
    for (int index = 0; index < ArmorCatalog::Size; ++index) {
        buyer.buyArmor(index, armors);
        buyer.armor.display();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/brawlarium-fuzz-XXXXXX";
    std::vector<char> writable(pattern.begin(), pattern.end());
    writable.push_back('\0');
    fuzzCheck(mkdtemp(writable.data()) != nullptr, "no temporary directory for the data file");
    dataDirectory = writable.data();
    dataFile = dataDirectory + "/pricelist.txt";
    std::atexit(removeDataFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeDataFile(data, size);
    NullBuffer sink;
    const ScopedStreamBuffer quiet(std::cout, &sink);

    const WeaponCatalog weapons(dataFile);
    if (weapons.loaded()) {
        exerciseWeapons(weapons);
    } else {
        checkRefusal(weapons);
    }

    const ArmorCatalog armors(dataFile);
    if (armors.loaded()) {
        exerciseArmor(armors);
    } else {
        checkRefusal(armors);
    }

    std::ostringstream report;
    const int status = checkPriceLists(dataFile, dataFile, report);
    const bool refused = !weapons.loaded() || !armors.loaded();
    fuzzCheck(
        refused ? status == PriceListsRefused : (status == PriceListsClean || status == PriceListsWarned),
        "the check's status disagrees with the loaders");
    fuzzCheck(report.str().rfind("Checking " + dataFile, 0) == 0 && report.str().back() == '\n',
              "the report does not name the lists or ends without a line end");
    return 0;
}
