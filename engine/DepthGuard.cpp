#include "engine/DepthGuard.h"

#include <pthread.h>

constinit thread_local int DepthGuard::depth_ = 0;
constinit thread_local uintptr_t DepthGuard::stackFloor_ = 0;

uintptr_t DepthGuard::StackFloor()
{
    // Room kept free below the last guarded frame: one level of any walk, plus what throwing
    // and unwinding the error need.
    constexpr size_t kHeadroom = 256 * 1024;
    pthread_attr_t attributes;
    void* low = nullptr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0)
        return 1; // unknown: rely on the level count alone
    const bool known = pthread_attr_getstack(&attributes, &low, &size) == 0;
    pthread_attr_destroy(&attributes);
    if (!known || size <= 2 * kHeadroom)
        return 1;
    // Stacks grow downwards from low + size.
    return reinterpret_cast<uintptr_t>(low) + kHeadroom;
}
