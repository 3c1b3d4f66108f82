#include "platform/audio/ThreadName.h"

#ifdef __linux__
#include <pthread.h>
#endif

namespace tonewell {

void NameThisThread(const char* name) {
#ifdef __linux__
    pthread_setname_np(pthread_self(), name);
#else
    (void)name;
#endif
}

}  // namespace tonewell
