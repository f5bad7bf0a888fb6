// The program as started from a shell, run in-process: the texts it writes
// and exits after, when standard output refuses them.
#include "game/brawlarium.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "support/data_files.h"

namespace {

// Standard output that takes nothing: each write fails, with `error` as
// errno when it is not 0, and without touching errno otherwise, as a stream
// can fail with no system call at all.
class RefusingOutput : public std::streambuf {
public:
    explicit RefusingOutput(int error) : error(error) {}

protected:
    int_type overflow(int_type /*character*/) override {
        refuse();
        return traits_type::eof();
    }
    std::streamsize xsputn(const char* /*text*/, std::streamsize /*count*/) override {
        refuse();
        return 0;
    }

private:
    void refuse() const {
        if (error != 0) {
            errno = error;
        }
    }
    int error;
};

// The reason named is the failed write's own, never what an earlier call
// left in errno.
TEST(RunBrawlariumTest, OutputThatCannotBeWrittenIsNamedWithItsOwnReason) {
    const struct {
        std::vector<const char*> arguments;
        int writeError;  // 0: the write fails without setting errno
        std::string error;
    } cases[] = {
        {{"brawlarium", "--version"}, 0, "brawlarium: cannot write the output: unknown error\n"},
        {{"brawlarium", "--help"}, ENOSPC, "brawlarium: cannot write the output: No space left on device\n"},
        // The lists are looked up and loaded first, which may set errno.
        {{"brawlarium", "--check-data"}, 0, "brawlarium: cannot write the output: unknown error\n"},
    };
    for (const auto& c : cases) {
        RefusingOutput refusing(c.writeError);
        std::streambuf* const previous = std::cout.rdbuf(&refusing);
        ErrorCapture errors;
        errno = EACCES;
        const int status = runBrawlarium(static_cast<int>(c.arguments.size()), c.arguments.data());
        std::cout.rdbuf(previous);
        std::cout.clear();
        EXPECT_EQ(status, 1) << c.arguments[1];
        EXPECT_EQ(errors.take(), c.error) << c.arguments[1];
    }
}

}  // namespace
