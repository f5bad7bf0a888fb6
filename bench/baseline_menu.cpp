// The yardstick for the game's start-up time and memory: a minimal C++ program
// that prints a ten-line menu, asks for a choice and reads one word, with the
// same standard streams the game uses.
#include <iostream>
#include <string>

int main() {
    std::cout << "-------Main Menu-------\n"
                 " PLEASE CHOOSE FROM THE FOLLOWING OPTIONS \n"
                 "A. First option\n"
                 "B. Second option\n"
                 "C. Third option\n"
                 "D. Fourth option\n"
                 "E. Fifth option\n"
                 "F. Sixth option\n"
                 "Q. Quit\n"
                 "-----------------------\n";
    std::cout << "Your Choice: ";
    std::string word;
    if (!(std::cin >> word)) {
        std::cout << std::endl;
        return 0;
    }
    std::cout << "You chose " << word << std::endl;
    return 0;
}
