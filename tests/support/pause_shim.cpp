// A library the end-to-end tests preload into the game so that fights do not
// take minutes: every relative sleep (a pselect without descriptors counts as
// one) is replaced by one of PAUSE_SHIM_MS milliseconds (0 when unset), and,
// when PAUSE_SHIM_LOG names a file, the requested length of each sleep is
// appended to it in milliseconds, one per line. The game itself is unchanged;
// only its sleeps are shortened.
#include <fcntl.h>
#include <sys/select.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// Called from a running game: plain system calls only, no allocation.
void logRequest(const timespec* request) {
    const char* path = std::getenv("PAUSE_SHIM_LOG");
    if (path == nullptr || path[0] == '\0' || request == nullptr) {
        return;
    }
    long long milliseconds = static_cast<long long>(request->tv_sec) * 1000 + request->tv_nsec / 1000000;
    char text[32];
    int length = 0;
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + milliseconds % 10);
        milliseconds /= 10;
    } while (milliseconds > 0 && count < 20);
    while (count > 0) {
        text[length++] = digits[--count];
    }
    text[length++] = '\n';
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        const ssize_t ignored = write(fd, text, static_cast<size_t>(length));
        (void)ignored;
        close(fd);
    }
}

// The shortened length; false when there is to be no sleep at all.
bool replacementSleep(timespec& replacement) {
    const char* setting = std::getenv("PAUSE_SHIM_MS");
    const long milliseconds = setting != nullptr ? std::strtol(setting, nullptr, 10) : 0;
    if (milliseconds <= 0) {
        return false;
    }
    replacement.tv_sec = milliseconds / 1000;
    replacement.tv_nsec = (milliseconds % 1000) * 1000000;
    return true;
}

int shortenedSleep() {
    timespec replacement{};
    if (!replacementSleep(replacement)) {
        return 0;
    }
    const long result = syscall(SYS_clock_nanosleep, CLOCK_MONOTONIC, 0, &replacement, nullptr);
    return result == 0 ? 0 : static_cast<int>(errno);
}

// pselect as the system call takes it: the signal mask with its size.
long pselectCall(int count, fd_set* readable, fd_set* writable, fd_set* failed, const timespec* timeout,
                 const sigset_t* mask) {
    timespec left{};
    if (timeout != nullptr) {
        left = *timeout;  // the system call writes the time left into it
    }
    const struct {
        const sigset_t* set;
        std::size_t size;
    } maskArgument{mask, _NSIG / 8};
    return syscall(SYS_pselect6, count, readable, writable, failed, timeout != nullptr ? &left : nullptr,
                   mask != nullptr ? &maskArgument : nullptr);
}

}  // namespace

// The system header names the parameters with reserved identifiers, which a
// definition cannot repeat, and these definitions use their parameters: the
// names differ from the header's on purpose.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
extern "C" int nanosleep(const timespec* request, timespec* remaining) {
    logRequest(request);
    if (remaining != nullptr) {
        remaining->tv_sec = 0;
        remaining->tv_nsec = 0;
    }
    const int error = shortenedSleep();
    if (error != 0) {
        errno = error;
        return -1;
    }
    return 0;
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
extern "C" int clock_nanosleep(clockid_t clock, int flags, const timespec* request, timespec* remaining) {
    if ((flags & TIMER_ABSTIME) != 0) {
        // An absolute deadline is not a pause of a known length: sleep as asked.
        return static_cast<int>(syscall(SYS_clock_nanosleep, clock, flags, request, remaining)) == 0 ? 0
                                                                                                     : errno;
    }
    logRequest(request);
    if (remaining != nullptr) {
        remaining->tv_sec = 0;
        remaining->tv_nsec = 0;
    }
    return shortenedSleep();
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
extern "C" int pselect(int count, fd_set* readable, fd_set* writable, fd_set* failed, const timespec* timeout,
                       const sigset_t* mask) {
    if (count != 0 || timeout == nullptr) {
        return static_cast<int>(pselectCall(count, readable, writable, failed, timeout, mask));
    }
    logRequest(timeout);
    timespec replacement{};
    if (!replacementSleep(replacement)) {
        return 0;
    }
    return static_cast<int>(pselectCall(0, nullptr, nullptr, nullptr, &replacement, mask));
}
