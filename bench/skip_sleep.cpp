// Preloaded (LD_PRELOAD) into the game by the benchmark only: every sleep (a
// pselect without descriptors counts as one) returns at once, as if the time
// had already passed, so a long piped session plays its fights without the
// pauses between rounds. The game itself is unchanged. A sleep that returns 0
// leaves the remaining time unset, as POSIX allows.
#include <sys/select.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <cstddef>
#include <ctime>

extern "C" {

int nanosleep(const struct timespec* /*request*/, struct timespec* /*remaining*/) { return 0; }

int clock_nanosleep(clockid_t /*clock*/, int /*flags*/, const struct timespec* /*request*/,
                    struct timespec* /*remaining*/) {
    return 0;
}

unsigned int sleep(unsigned int /*seconds*/) { return 0; }

int usleep(useconds_t /*microseconds*/) { return 0; }

// Without descriptors, a sleep; with them, passed on to the system call.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
int pselect(int count, fd_set* readable, fd_set* writable, fd_set* failed, const struct timespec* timeout,
            const sigset_t* mask) {
    if (count == 0) {
        return 0;
    }
    struct timespec left {};
    if (timeout != nullptr) {
        left = *timeout;
    }
    const struct {
        const sigset_t* set;
        std::size_t size;
    } maskArgument{mask, _NSIG / 8};
    return static_cast<int>(syscall(SYS_pselect6, count, readable, writable, failed,
                                    timeout != nullptr ? &left : nullptr,
                                    mask != nullptr ? &maskArgument : nullptr));
}

}  // extern "C"
