// Preloaded (LD_PRELOAD) into the game by the benchmark only: every sleep
// returns at once, as if the time had already passed, so a long piped session
// plays its fights without the pauses between rounds. The game itself is
// unchanged. A sleep that returns 0 leaves the remaining time unset, as POSIX
// allows.
#include <unistd.h>

#include <ctime>

extern "C" {

int nanosleep(const struct timespec* /*request*/, struct timespec* /*remaining*/) { return 0; }

int clock_nanosleep(clockid_t /*clock*/, int /*flags*/, const struct timespec* /*request*/,
                    struct timespec* /*remaining*/) {
    return 0;
}

unsigned int sleep(unsigned int /*seconds*/) { return 0; }

int usleep(useconds_t /*microseconds*/) { return 0; }

}  // extern "C"
