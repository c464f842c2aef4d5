#include "platform/ThreadPriority.h"

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

void ThreadPriority::runWhenIdle()
{
#if defined(__linux__)
    // Any thread may lower its own policy; failing, it runs as it did.
    sched_param none{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &none);
#endif
}
