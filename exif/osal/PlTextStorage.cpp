// PlTextStorage.cpp - the four pools of text blocks.

#include "osal/PlTextStorage.h"

#include <cstdint>
#include <mutex>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define PL_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define PL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define PL_POISON(p, n) ((void)(p), (void)(n))
#define PL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace PlOSAL
{

namespace
{

// A pool keeps the blocks given back to it for reuse, up to a limit, and hands out new ones from
// the heap when it has none.
class CTextPool
{
public:
    explicit CTextPool(size_t blockSize) : m_nBlockSize(blockSize) {}

    void* Allocate()
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_pFree != nullptr)
            {
                SFreeBlock* block = m_pFree;
                PL_UNPOISON(block, m_nBlockSize);
                m_pFree = block->next;
                --m_nFree;
                return block;
            }
        }
        return ::operator new(m_nBlockSize);
    }

    void Free(void* p) noexcept
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_nFree < kMaxFree)
            {
                auto* block = static_cast<SFreeBlock*>(p);
                block->next = m_pFree;
                m_pFree = block;
                ++m_nFree;
                // A text used after it was freed is still caught under the address sanitizer;
                // the link stays readable so that the leak checker sees the block is kept.
                PL_POISON(reinterpret_cast<char*>(block) + sizeof(SFreeBlock),
                          m_nBlockSize - sizeof(SFreeBlock));
                return;
            }
        }
        ::operator delete(p);
    }

    size_t BlockSize() const { return m_nBlockSize; }

private:
    struct SFreeBlock
    {
        SFreeBlock* next;
    };
    static constexpr size_t kMaxFree = 256;

    const size_t m_nBlockSize;
    std::mutex m_lock;
    SFreeBlock* m_pFree = nullptr;
    size_t m_nFree = 0;
};

// The pools live as long as the process: texts in static objects are freed after every static
// destructor of this library has run.
CTextPool* PoolFor(size_t bytes)
{
    static CTextPool* const pools =
        new CTextPool[4]{CTextPool(64 * sizeof(char16_t)), CTextPool(128 * sizeof(char16_t)),
                         CTextPool(256 * sizeof(char16_t)), CTextPool(512 * sizeof(char16_t))};
    for (int i = 0; i < 4; ++i)
    {
        if (bytes <= pools[i].BlockSize())
            return &pools[i];
    }
    return nullptr;
}

} // namespace

void* AllocateText(size_t bytes)
{
    CTextPool* pool = PoolFor(bytes);
    return pool ? pool->Allocate() : ::operator new(bytes);
}

void FreeText(void* block, size_t bytes) noexcept
{
    if (block == nullptr)
        return;
    CTextPool* pool = PoolFor(bytes);
    if (pool != nullptr)
        pool->Free(block);
    else
        ::operator delete(block);
}

} // namespace PlOSAL
