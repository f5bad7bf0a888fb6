// Asking a question: the prompt, one word read, the rest left for the next
// question, and the quiet way out when standard input ends; and what of the
// screen has reached the system when the game asks, writes an error or ends.
#include "console/question.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "console/console.h"
#include "support/capture.h"

namespace {

class QuestionTest : public ::testing::Test {
protected:
    void TearDown() override {
        quitRequested = false;
        resetInputState();
    }
};

TEST_F(QuestionTest, EachAskTakesOneWordAndLeavesTheRest) {
    const struct {
        const char* input;
        std::vector<std::string> words;
    } cases[] = {
        {"hello world\n", {"hello", "world"}},
        {"\n\n   \n  word\n", {"word"}},
        {"\tone\ttwo  three\n\nfour", {"one", "two", "three", "four"}},
        {"last", {"last"}},
    };
    for (const auto& c : cases) {
        ConsoleCapture console(c.input);
        std::string expectedOutput;
        for (std::size_t i = 0; i < c.words.size(); ++i) {
            const std::string prompt = "Q" + std::to_string(i) + ": ";
            std::string answer = "stale";
            EXPECT_TRUE(ask(prompt, answer)) << c.input;
            EXPECT_EQ(answer, c.words[i]) << c.input;
            expectedOutput += prompt;
        }
        EXPECT_EQ(console.take(), expectedOutput) << c.input;
        EXPECT_FALSE(quitRequested);
        EXPECT_FALSE(inputEnded());
    }
}

TEST_F(QuestionTest, EndOfInputWritesOneLineEndAndQuitsOnce) {
    const char* inputs[] = {"", "   \n\n\t\n"};
    for (const char* input : inputs) {
        ConsoleCapture console(input);
        std::string answer = "stale";
        EXPECT_FALSE(ask("Your Choice: ", answer));
        EXPECT_EQ(answer, "");
        EXPECT_EQ(console.take(), "Your Choice: \n");
        EXPECT_TRUE(quitRequested);
        EXPECT_TRUE(inputEnded());

        // Every later question gives up at once without writing anything.
        answer = "stale";
        EXPECT_FALSE(ask("Change Name to: ", answer));
        EXPECT_FALSE(ask("Roll Again (Y/N)? ", answer));
        EXPECT_EQ(answer, "");
        EXPECT_EQ(console.take(), "");
    }
}

TEST_F(QuestionTest, EndOfInputAfterTheLastWord) {
    ConsoleCapture console("only");
    std::string answer;
    EXPECT_TRUE(ask("A: ", answer));
    EXPECT_EQ(answer, "only");
    EXPECT_FALSE(quitRequested);
    EXPECT_FALSE(ask("B: ", answer));
    EXPECT_EQ(console.take(), "A: B: \n");
    EXPECT_TRUE(quitRequested);
}

TEST_F(QuestionTest, UnwritableOutputEndsTheGame) {
    ConsoleCapture console("word\n");
    std::cout.setstate(std::ios::badbit);
    std::string answer;
    EXPECT_FALSE(ask("A: ", answer));
    EXPECT_TRUE(quitRequested);
    EXPECT_TRUE(inputEnded());
}

TEST_F(QuestionTest, AskChoiceRepeatsThePromptUntilTheParserAccepts) {
    ConsoleCapture console("x  y\nz w\n");
    std::vector<std::string> seen;
    std::string answer;
    const int code = askChoice(answer, [&seen](std::string word) {
        seen.push_back(word);
        word = "changed";
        return seen.size() == 3 ? 7 : 0;
    });
    EXPECT_EQ(code, 7);
    EXPECT_EQ(seen, (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_EQ(answer, "z");
    EXPECT_EQ(console.take(), "Your Choice: Your Choice: Your Choice: ");
    EXPECT_TRUE(ask("Next: ", answer));
    EXPECT_EQ(answer, "w");
}

TEST_F(QuestionTest, AskChoiceGivesZeroWhenInputEnds) {
    ConsoleCapture console("x\n");
    std::string answer;
    int calls = 0;
    EXPECT_EQ(askChoice(answer,
                        [&calls](const std::string&) {
                            ++calls;
                            return 0;
                        }),
              0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(console.take(), "Your Choice: Your Choice: \n");
    EXPECT_TRUE(quitRequested);
}

// One of the process's descriptors pointed elsewhere while this lives.
class Redirection {
public:
    // What the process wrote before (the test runner's own lines, still in
    // the C library's buffers when its output is a pipe) goes where it was
    // meant to go, not into the pipe under test.
    Redirection(int fd, int target) : fd(fd), saved(dup(fd)) {
        std::cout.flush();
        std::fflush(nullptr);
        dup2(target, fd);
    }
    ~Redirection() {
        dup2(saved, fd);
        close(saved);
    }
    Redirection(const Redirection&) = delete;
    Redirection& operator=(const Redirection&) = delete;

private:
    int fd;
    int saved;
};

// What the pipe holds now, without waiting.
std::string drain(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t got = 0; (got = read(fd, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

// The real console, standard output and standard error on one pipe (as with
// 2>&1) or standard output on /dev/full, the answers on another pipe.
TEST(ScreenOutput, ReachesTheSystemWhereTheGameWaitsAndInTheOrderWritten) {
    const struct {
        const char* name;
        bool fullDisk;
        std::function<void(int shown)> play;  // after "screen\n" was written
        std::string seen;                     // on the pipe at the end
    } cases[] = {
        {"line ends stay collected until a wait", false,
         [](int shown) {
             std::cout << "a" << std::endl << "b" << std::flush;
             clearScreen();
             EXPECT_EQ(drain(shown), "");
             waitForKey();
         },
         "screen\na\nb" + std::string(50, '\n')},
        {"the question is shown before its answer is read", false,
         [](int /*shown*/) {
             std::string answer;
             EXPECT_TRUE(ask("Your Choice: ", answer));
             EXPECT_EQ(answer, "q");
         },
         "screen\nYour Choice: "},
        {"an error comes after the screen written before it", false,
         [](int /*shown*/) { std::cerr << "error" << std::endl; }, "screen\nerror\n"},
        {"a failed last screen is still reported", true, [](int /*shown*/) { EXPECT_TRUE(outputFailed()); },
         "brawlarium: cannot write the output: No space left on device\n"},
    };
    for (const auto& c : cases) {
        int shown[2];
        int answers[2];
        ASSERT_EQ(pipe(shown), 0);
        ASSERT_EQ(pipe(answers), 0);
        fcntl(shown[0], F_SETFL, O_NONBLOCK);
        ASSERT_EQ(write(answers[1], "q\n", 2), 2);
        const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
        {
            const Redirection out(STDOUT_FILENO, c.fullDisk ? full : shown[1]);
            const Redirection err(STDERR_FILENO, shown[1]);
            const Redirection in(STDIN_FILENO, answers[0]);
            openConsole();
            setKeyWaitHandler([] {});
            std::cout << "screen\n";
            EXPECT_EQ(drain(shown[0]), "") << c.name;
            c.play(shown[0]);
            closeConsole();
            setKeyWaitHandler(nullptr);
            std::cout.clear();
            std::cin.clear();
        }
        EXPECT_EQ(drain(shown[0]), c.seen) << c.name;
        resetInputState();
        quitRequested = false;
        for (int fd : {shown[0], shown[1], answers[0], answers[1], full}) {
            close(fd);
        }
    }
}

}  // namespace
