// A stand-in app for tests that quit running apps. It prints "ready" once its signal handling is
// set up, then sleeps (at most ten minutes, so that a test that dies leaves nothing behind for
// long). Options: --quit-after-term (on SIGTERM, exit with status 0 300 ms later),
// --ignore-term (SIGTERM has no effect). Without either, SIGTERM ends it at once. Other
// arguments (such as a script path when it serves as an interpreter) are ignored.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t terminationRequested = 0;

void onTerminate(int) {
    terminationRequested = 1;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ignore-term") == 0) {
            std::signal(SIGTERM, SIG_IGN);
        } else if (std::strcmp(argv[i], "--quit-after-term") == 0) {
            std::signal(SIGTERM, onTerminate);
        }
    }
    std::puts("ready");
    std::fflush(stdout);
    for (int tick = 0; tick < 6000 && !terminationRequested; ++tick) {
        ::usleep(100000);
    }
    if (terminationRequested) {
        ::usleep(300000);
        return 0;
    }
    return 1;
}
