// PlTextStorage.h - the storage of the library's wide texts: blocks for texts of up to 64, 128,
// 256 and 512 characters come from four pools, each guarded by its own lock; longer texts come
// from the heap. Callable from any thread.
#pragma once

#include <cstddef>
#include <new>

namespace PlOSAL
{

// Throws std::bad_alloc when no memory is left, as an allocator must.
void* AllocateText(size_t bytes);
void FreeText(void* block, size_t bytes) noexcept;

template <class T> struct CPlTextAllocator
{
    using value_type = T;

    CPlTextAllocator() noexcept = default;
    template <class U> CPlTextAllocator(const CPlTextAllocator<U>&) noexcept {}

    T* allocate(size_t n)
    {
        if (n > static_cast<size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        return static_cast<T*>(AllocateText(n * sizeof(T)));
    }
    void deallocate(T* p, size_t n) noexcept { FreeText(p, n * sizeof(T)); }

    template <class U> bool operator==(const CPlTextAllocator<U>&) const noexcept { return true; }
    template <class U> bool operator!=(const CPlTextAllocator<U>&) const noexcept { return false; }
};

} // namespace PlOSAL
