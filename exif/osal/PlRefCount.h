// PlRefCount.h - the atomic reference count shared by every reference-counted object of the
// library. Increment and Decrement may be called from any thread.
#pragma once

#include <atomic>

namespace PlOSAL
{

class CPlRefCount
{
public:
    explicit CPlRefCount(long initial = 0) : m_nCount(initial) {}
    // Both answer the new count.
    long Increment() { return m_nCount.fetch_add(1, std::memory_order_relaxed) + 1; }
    long Decrement() { return m_nCount.fetch_sub(1, std::memory_order_acq_rel) - 1; }
    long Get() const { return m_nCount.load(std::memory_order_relaxed); }

private:
    std::atomic<long> m_nCount;
};

} // namespace PlOSAL
