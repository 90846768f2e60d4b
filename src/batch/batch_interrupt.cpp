#include "batch/batch_interrupt.h"

#include <csignal>

namespace batch {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void noteInterrupt(int) {
    interrupted = 1;
}

} // namespace

void catchInterrupts() {
#if defined(SIGINT)
    std::signal(SIGINT, noteInterrupt);
#endif
#if defined(SIGTERM)
    std::signal(SIGTERM, noteInterrupt);
#endif
}

bool interruptRequested() {
    return interrupted != 0;
}

} // namespace batch
