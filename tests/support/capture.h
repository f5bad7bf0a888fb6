// Helpers for tests that drive the game in-process: standard output
// captured, standard input fed from a string, key waits and pauses made
// instant, and the random sequence replayed from a known seed.
#pragma once

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/question.h"

// Captures std::cout and feeds std::cin for as long as it lives; key waits
// and pauses are counted instead of blocking.
class ConsoleCapture {
public:
    explicit ConsoleCapture(const std::string& input = "")
        : in(input), oldOut(std::cout.rdbuf(out.rdbuf())), oldIn(std::cin.rdbuf(in.rdbuf())) {
        std::cin.clear();
        std::cout.clear();
        keyWaits() = 0;
        pauses().clear();
        setKeyWaitHandler([] { ++keyWaits(); });
        setPauseHandler([](std::chrono::milliseconds duration) { pauses().push_back(duration); });
        resetInputState();
        quitRequested = false;
    }
    ~ConsoleCapture() {
        std::cout.rdbuf(oldOut);
        std::cin.rdbuf(oldIn);
        std::cin.clear();
        std::cout.clear();
        setKeyWaitHandler(nullptr);
        setPauseHandler(nullptr);
        resetInputState();
    }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Everything written so far; the capture starts again empty.
    std::string take() {
        std::string text = out.str();
        out.str("");
        return text;
    }

    static int& keyWaits() {
        static int count = 0;
        return count;
    }
    static std::vector<std::chrono::milliseconds>& pauses() {
        static std::vector<std::chrono::milliseconds> list;
        return list;
    }

private:
    std::ostringstream out;
    std::istringstream in;
    std::streambuf* oldOut;
    std::streambuf* oldIn;
};

// The draws the game will see after srand(seed): replays rand() so tests
// can compute the expected values of every roll in order.
class DrawReplay {
public:
    explicit DrawReplay(unsigned seed) : seed(seed) {}
    // Seeds the game's generator and a private copy of the sequence.
    void start() {
        std::srand(seed);
        values.clear();
        for (int i = 0; i < 4096; ++i) {
            values.push_back(std::rand());
        }
        std::srand(seed);
        next = 0;
    }
    // The next raw value, as the game will draw it.
    int draw() { return values.at(next++); }
    // The next die of the given size, 1 to sides.
    int die(int sides) { return draw() % sides + 1; }

private:
    unsigned seed;
    std::vector<int> values;
    std::size_t next = 0;
};

// Fifty line ends: what clearScreen writes.
inline std::string clearedScreen() {
    // Not a braced list: that would be the two characters 50 and '\n'.
    std::string lineEnds(50, '\n');
    return lineEnds;
}
