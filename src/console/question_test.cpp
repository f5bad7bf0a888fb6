// Asking a question: the prompt, one word read, the rest left for the next
// question, and the quiet way out when standard input ends.
#include "console/question.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
