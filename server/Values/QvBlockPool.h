#pragma once
#include <cstddef>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define QV_POOL_PASSES_THROUGH 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_POOL_PASSES_THROUGH 1
#endif
#endif

// Freed memory blocks of one size, kept per thread for that thread's next objects of
// the size: numbers and variables are made and dropped by the million, and this keeps
// them off the general allocator. A thread returns what it keeps when it ends. Under
// AddressSanitizer the pool passes every request through, so that it still sees each
// object's life.
template <size_t Size>
class QvBlockPool {
public:
    static void* allocate() {
#ifndef QV_POOL_PASSES_THROUGH
        Cache& cache = threadCache();
        if (Block* block = cache.head) {
            cache.head = block->next;
            --cache.count;
            return block;
        }
#endif
        return ::operator new(Size);
    }

    static void release(void* memory) noexcept {
#ifndef QV_POOL_PASSES_THROUGH
        Cache& cache = threadCache();
        if (cache.count < kKeptBlocks) {
            cache.head = new (memory) Block{cache.head};
            ++cache.count;
            return;
        }
#endif
        ::operator delete(memory);
    }

private:
    static_assert(Size >= sizeof(void*), "a kept block holds a link");
    static constexpr size_t kKeptBlocks = 4096;

    struct Block {
        Block* next;
    };
    struct Cache {
        Block* head = nullptr;
        size_t count = 0;
        ~Cache() {
            while (Block* block = head) {
                head = block->next;
                ::operator delete(block);
            }
        }
    };

    static Cache& threadCache() {
        thread_local Cache cache;
        return cache;
    }
};

// A base that gives class T (a value or variable class made in great numbers) the
// pool's operators new and delete. Objects of a class derived from T with another
// size use the general allocator.
template <class T>
class QvPooled {
public:
    static void* operator new(size_t size) {
        return size == sizeof(T) ? QvBlockPool<sizeof(T)>::allocate() : ::operator new(size);
    }
    static void* operator new(size_t size, const std::nothrow_t&) noexcept {
        try {
            return operator new(size);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    static void operator delete(void* memory, size_t size) noexcept {
        if (!memory) return;
        if (size == sizeof(T))
            QvBlockPool<sizeof(T)>::release(memory);
        else
            ::operator delete(memory);
    }
};
