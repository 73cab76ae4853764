// The counting allocator: the C allocation functions, defined in the
// executable so that every library's calls reach them, passing each call on
// to the C library's own allocator.
#include "CountingAllocator.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>

extern "C" {
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *pointer, std::size_t size);
void *__libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void *pointer);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<std::int64_t> inUse{0};
std::atomic<std::int64_t> peak{0};

void Allocated(void *pointer)
{
    if (pointer == nullptr || !counting.load(std::memory_order_relaxed))
        return;
    const std::int64_t now =
        inUse.fetch_add(std::int64_t(malloc_usable_size(pointer)), std::memory_order_relaxed)
        + std::int64_t(malloc_usable_size(pointer));
    std::int64_t seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
    }
}

void Freed(void *pointer)
{
    if (pointer != nullptr && counting.load(std::memory_order_relaxed))
        inUse.fetch_sub(std::int64_t(malloc_usable_size(pointer)), std::memory_order_relaxed);
}

} // namespace

extern "C" {

void *malloc(std::size_t size)
{
    void *pointer = __libc_malloc(size);
    Allocated(pointer);
    return pointer;
}

void *calloc(std::size_t count, std::size_t size)
{
    void *pointer = __libc_calloc(count, size);
    Allocated(pointer);
    return pointer;
}

void *realloc(void *pointer, std::size_t size)
{
    Freed(pointer);
    void *moved = __libc_realloc(pointer, size);
    // A failed realloc leaves the old block in place.
    Allocated(moved != nullptr || size == 0 ? moved : pointer);
    return moved;
}

void free(void *pointer)
{
    Freed(pointer);
    __libc_free(pointer);
}

void *memalign(std::size_t alignment, std::size_t size)
{
    void *pointer = __libc_memalign(alignment, size);
    Allocated(pointer);
    return pointer;
}

void *aligned_alloc(std::size_t alignment, std::size_t size)
{
    return memalign(alignment, size);
}

int posix_memalign(void **result, std::size_t alignment, std::size_t size)
{
    void *pointer = memalign(alignment, size);
    if (pointer == nullptr)
        return ENOMEM;
    *result = pointer;
    return 0;
}

} // extern "C"

std::int64_t PeakHeapBytes(const std::function<void()> &work)
{
    inUse.store(0);
    peak.store(0);
    counting.store(true);
    work();
    counting.store(false);
    return peak.load();
}
