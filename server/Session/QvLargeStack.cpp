#include "Session/QvLargeStack.h"

#include <pthread.h>

namespace {
void* runWork(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return nullptr;
}
}

// The stack is reserved address space: only the pages a run touches take memory.
void QvLargeStack::run(const std::function<void()>& work) {
    pthread_attr_t attributes;
    pthread_t thread;
    bool started = pthread_attr_init(&attributes) == 0;
    started = started && pthread_attr_setstacksize(&attributes, kStackBytes) == 0 &&
              pthread_create(&thread, &attributes, runWork, const_cast<std::function<void()>*>(&work)) == 0;
    pthread_attr_destroy(&attributes);
    if (started)
        pthread_join(thread, nullptr);
    else
        work();
}
